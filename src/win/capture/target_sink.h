#pragma once
// The sink and bind information that the default handler is started with. Progress,
// data and results go to the capture engine's sink (which passes them on to the
// browser); thread switches, bind information and services go straight to the
// browser's objects, which the engine does not model. Once detached (the capture's
// protocol object is gone) late reports go nowhere: the handler is told E_UNEXPECTED.

#include <windows.h>

#include <servprov.h>
#include <urlmon.h>

#include <mutex>

#include "capture/protocol_layer.h"
#include "com_ptr.h"
#include "module.h"

namespace tracewell::win {

class CTargetSink final : public IInternetProtocolSink, public IInternetBindInfo, public IServiceProvider {
 public:
  // A new sink with one reference.
  static CTargetSink* Create() { return new CTargetSink(); }

  void SetBrowser(IInternetProtocolSink* sink, IInternetBindInfo* bindInfo);
  void SetEngineSink(IProtocolSink* sink);
  void Detach();

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  // IInternetProtocolSink
  STDMETHODIMP Switch(PROTOCOLDATA* data) override;
  STDMETHODIMP ReportProgress(ULONG status, LPCWSTR text) override;
  STDMETHODIMP ReportData(DWORD flags, ULONG progress, ULONG progressMax) override;
  STDMETHODIMP ReportResult(HRESULT result, DWORD error, LPCWSTR text) override;
  // IInternetBindInfo
  STDMETHODIMP GetBindInfo(DWORD* flags, BINDINFO* info) override;
  STDMETHODIMP GetBindString(ULONG type, LPOLESTR* strings, ULONG count, ULONG* fetched) override;
  // IServiceProvider
  STDMETHODIMP QueryService(REFGUID service, REFIID iid, void** object) override;

 private:
  CTargetSink() = default;
  ~CTargetSink() = default;
  ComPtr<IInternetProtocolSink> BrowserSink();
  ComPtr<IInternetBindInfo> BrowserBindInfo();
  // Runs `call` with the engine's sink, under the lock that Detach takes, so that the
  // sink cannot go while a report is in it; E_UNEXPECTED once detached.
  template <typename Call>
  HRESULT WithEngineSink(const Call& call);

  CModuleLock m_moduleLock;
  volatile LONG m_nReferences = 1;
  std::recursive_mutex m_mutex;  // a report may come back in through the browser
  IProtocolSink* m_engineSink = nullptr;
  ComPtr<IInternetProtocolSink> m_browserSink;
  ComPtr<IInternetBindInfo> m_browserBindInfo;
};

}  // namespace tracewell::win
