#include "browser_event_sink.h"

#include <exdispid.h>
#include <ocidl.h>

namespace tracewell::win {

CBrowserEventSink::~CBrowserEventSink() { Unadvise(); }

HRESULT CBrowserEventSink::Advise(IWebBrowser2* browser) {
  if (browser == nullptr) return E_POINTER;
  ComPtr<IConnectionPointContainer> container;
  HRESULT hr = browser->QueryInterface(IID_IConnectionPointContainer, container.ReceiveVoid());
  if (FAILED(hr)) return hr;
  ComPtr<IConnectionPoint> point;
  hr = container->FindConnectionPoint(DIID_DWebBrowserEvents2, point.Receive());
  if (FAILED(hr)) return hr;
  DWORD cookie = 0;
  hr = point->Advise(this, &cookie);
  if (FAILED(hr)) return hr;
  m_point = point;
  m_cookie = cookie;
  return S_OK;
}

void CBrowserEventSink::Unadvise() {
  if (m_cookie == 0) return;
  // A browser that refuses to let go can do no more than keep a pointer it will not
  // use: we forget the connection either way.
  m_point->Unadvise(m_cookie);
  m_point.Reset();
  m_cookie = 0;
}

STDMETHODIMP CBrowserEventSink::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) {
    *object = static_cast<IDispatch*>(this);
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP CBrowserEventSink::GetTypeInfoCount(UINT*) { return E_NOTIMPL; }

STDMETHODIMP CBrowserEventSink::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }

STDMETHODIMP CBrowserEventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
  return E_NOTIMPL;
}

// Events the band does not follow are answered S_OK and otherwise ignored.
STDMETHODIMP CBrowserEventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                       EXCEPINFO*, UINT*) {
  if (id == DISPID_ONQUIT) m_handler.OnQuit();
  return S_OK;
}

}  // namespace tracewell::win
