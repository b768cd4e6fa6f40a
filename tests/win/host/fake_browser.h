#pragma once
// A browser object for the band: records Navigate and ShowBrowserBar, is the
// connection point of its DWebBrowserEvents2, through which the test fires events,
// and shows the page a test gives it.

#include <windows.h>

#include <ocidl.h>

#include <string>
#include <vector>

#include "counted.h"
#include "web_browser_stub.h"

namespace tracewell::win::test {

struct BarRequest {
  std::wstring bar;  // the bar's class id, as text
  bool show = true;
};

class CFakeBrowser final : public CWebBrowserStub,
                           public IConnectionPointContainer,
                           public IConnectionPoint {
 public:
  CFakeBrowser() = default;
  ~CFakeBrowser();
  CFakeBrowser(const CFakeBrowser&) = delete;
  CFakeBrowser& operator=(const CFakeBrowser&) = delete;

  // Calls the connected sink's Invoke with `id` and no arguments; false without a sink.
  bool Fire(DISPID id);
  // The same for a document event (NavigateComplete2, DocumentComplete): its
  // arguments are the browser object of the window or frame, and the URL.
  bool FireDocumentEvent(DISPID id, IDispatch* document);

  LONG References() const { return m_references.Held(); }
  bool HasSink() const { return m_sink != nullptr; }
  int advises = 0;
  int unadvises = 0;
  std::vector<std::wstring> navigations;
  std::vector<BarRequest> barRequests;
  IDispatch* page = nullptr;  // what get_Document answers (none: E_NOTIMPL); not held

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return m_references.Add(); }
  STDMETHODIMP_(ULONG) Release() override { return m_references.Remove(); }
  // IWebBrowser2, the recorded operations
  STDMETHODIMP Navigate(BSTR url, VARIANT* flags, VARIANT* frame, VARIANT* postData,
                        VARIANT* headers) override;
  STDMETHODIMP ShowBrowserBar(VARIANT* bar, VARIANT* show, VARIANT* size) override;
  STDMETHODIMP get_Document(IDispatch** document) override;
  // IConnectionPointContainer
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override;
  STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;
  // IConnectionPoint
  STDMETHODIMP GetConnectionInterface(IID* iid) override;
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override;
  STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
  STDMETHODIMP Unadvise(DWORD cookie) override;
  STDMETHODIMP EnumConnections(IEnumConnections** connections) override;

 private:
  static constexpr DWORD kCookie = 0x5EED;
  CReferenceCount m_references;
  IDispatch* m_sink = nullptr;
};

}  // namespace tracewell::win::test
