#pragma once
// The band's connection to the browser's DWebBrowserEvents2. The sink lives inside the
// band and does not count references: the band disconnects it before it goes (site
// removed, browser quitting, band destroyed), so the browser never holds a dead sink,
// and the band and the browser do not keep each other alive. Navigation and download
// events drive the page inspector's load state; the browser quitting goes to the band.

#include <windows.h>
#include <exdisp.h>

#include "com_ptr.h"
#include "inspector/page_load_state.h"

namespace tracewell::win {

class IBrowserEventHandler {
 public:
  virtual ~IBrowserEventHandler() = default;
  virtual void OnQuit() = 0;
};

class CBrowserEventSink final : public IDispatch {
 public:
  CBrowserEventSink(IBrowserEventHandler& handler, CPageLoadState& loadState)
      : m_handler(handler), m_loadState(loadState) {}
  ~CBrowserEventSink();
  CBrowserEventSink(const CBrowserEventSink&) = delete;
  CBrowserEventSink& operator=(const CBrowserEventSink&) = delete;

  // Connects to `browser`'s events; S_OK when connected.
  HRESULT Advise(IWebBrowser2* browser);
  // Disconnects when connected.
  void Unadvise();
  bool IsAdvised() const { return m_cookie != 0; }

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return 1; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  // IDispatch
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                             DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                      VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

 private:
  IBrowserEventHandler& m_handler;
  CPageLoadState& m_loadState;
  ComPtr<IConnectionPoint> m_point;
  DWORD m_cookie = 0;
};

}  // namespace tracewell::win
