#pragma once
// The protocol object that urlmon gets from our namespace handler for one request:
// the capture engine's pass-through object (CHttpHandlerAPP) in front of a fresh
// default handler. urlmon aggregates it; it answers IInternetProtocolEx, and each of
// the handler's other interfaces (URL parsing, priority, thread switch, HTTP
// information, cache hints) when the handler offers it, passing its calls on.

#include <windows.h>

#include <urlmon.h>
#include <wininet.h>

#include <memory>

#include "capture/browser_adapters.h"
#include "capture/http_handler.h"
#include "capture/target_interface.h"
#include "capture/urlmon_target.h"
#include "inner_unknown.h"
#include "module.h"

namespace tracewell::win {

class CUrlmonProtocol final : public IInternetProtocolEx,
                              public IInternetProtocolInfo,
                              public IInternetPriority,
                              public IInternetThreadSwitch,
                              public IWinInetHttpInfo,
                              public IWinInetCacheHints2 {
 public:
  // The new object's own IUnknown, with one reference.
  static IUnknown* Create(IUnknown* outer, std::shared_ptr<CHttpHandlerAPP> handler,
                          std::shared_ptr<CUrlmonTarget> target);

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  // IInternetProtocolRoot
  STDMETHODIMP Start(LPCWSTR url, IInternetProtocolSink* sink, IInternetBindInfo* bindInfo,
                     DWORD flags, HANDLE_PTR reserved) override;
  STDMETHODIMP Continue(PROTOCOLDATA* data) override;
  STDMETHODIMP Abort(HRESULT reason, DWORD options) override;
  STDMETHODIMP Terminate(DWORD options) override;
  STDMETHODIMP Suspend() override;
  STDMETHODIMP Resume() override;
  // IInternetProtocol
  STDMETHODIMP Read(void* buffer, ULONG size, ULONG* read) override;
  STDMETHODIMP Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override;
  STDMETHODIMP LockRequest(DWORD options) override;
  STDMETHODIMP UnlockRequest() override;
  // IInternetProtocolEx
  STDMETHODIMP StartEx(::IUri* uri, IInternetProtocolSink* sink, IInternetBindInfo* bindInfo,
                       DWORD flags, HANDLE_PTR reserved) override;
  // IInternetProtocolInfo
  STDMETHODIMP ParseUrl(LPCWSTR url, PARSEACTION action, DWORD flags, LPWSTR result, DWORD size,
                        DWORD* resultSize, DWORD reserved) override;
  STDMETHODIMP CombineUrl(LPCWSTR base, LPCWSTR relative, DWORD flags, LPWSTR result, DWORD size,
                          DWORD* resultSize, DWORD reserved) override;
  STDMETHODIMP CompareUrl(LPCWSTR first, LPCWSTR second, DWORD flags) override;
  STDMETHODIMP QueryInfo(LPCWSTR url, QUERYOPTION option, DWORD flags, LPVOID buffer, DWORD size,
                         DWORD* resultSize, DWORD reserved) override;
  // IInternetPriority
  STDMETHODIMP SetPriority(LONG priority) override;
  STDMETHODIMP GetPriority(LONG* priority) override;
  // IInternetThreadSwitch
  STDMETHODIMP Prepare() override;
  STDMETHODIMP Continue() override;
  // IWinInetInfo, IWinInetHttpInfo
  STDMETHODIMP QueryOption(DWORD option, LPVOID buffer, DWORD* size) override;
  STDMETHODIMP QueryInfo(DWORD option, LPVOID buffer, DWORD* size, DWORD* flags,
                         DWORD* reserved) override;
  // IWinInetCacheHints, IWinInetCacheHints2
  STDMETHODIMP SetCacheExtension(LPCWSTR extension, LPVOID file, DWORD* size, DWORD* error,
                                 DWORD* reserved) override;
  STDMETHODIMP SetCacheExtension2(LPCWSTR extension, WCHAR* file, DWORD* size, DWORD* error,
                                  DWORD* reserved) override;

 private:
  friend class CInnerUnknown<CUrlmonProtocol>;
  CUrlmonProtocol(IUnknown* outer, std::shared_ptr<CHttpHandlerAPP> handler,
                  std::shared_ptr<CUrlmonTarget> target)
      : m_pOuter(outer), m_handler(std::move(handler)), m_target(std::move(target)) {}
  ~CUrlmonProtocol() = default;
  void* FindInterface(REFIID iid);
  void TakeBrowser(IInternetProtocolSink* sink, IInternetBindInfo* bindInfo);
  // The handler's pointer for an interface offered in turn; null when it has none.
  template <typename Interface>
  Interface* Target(CTargetInterface<Interface>& offered) {
    return offered.Get(m_target->Handler());
  }

  CModuleLock m_moduleLock;
  IUnknown* m_pOuter;  // not counted: the aggregate owns this object
  CInnerUnknown<CUrlmonProtocol> m_inner{*this};
  std::shared_ptr<CHttpHandlerAPP> m_handler;
  std::shared_ptr<CUrlmonTarget> m_target;
  CBrowserSink m_browserSink;
  CBrowserBindInfo m_browserBindInfo;
  std::optional<CComUri> m_uri;
  CTargetInterface<IInternetProtocolInfo> m_targetProtocolInfo{IID_IInternetProtocolInfo};
  CTargetInterface<IInternetPriority> m_targetPriority{IID_IInternetPriority};
  CTargetInterface<IInternetThreadSwitch> m_targetThreadSwitch{IID_IInternetThreadSwitch};
  CTargetInterface<IWinInetHttpInfo> m_targetHttpInfo{IID_IWinInetHttpInfo};
  CTargetInterface<IWinInetCacheHints2> m_targetCacheHints{IID_IWinInetCacheHints2};
};

}  // namespace tracewell::win
