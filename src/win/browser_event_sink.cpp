#include "browser_event_sink.h"

#include <exdispid.h>
#include <ocidl.h>

#include <cstdint>
#include <optional>

namespace tracewell::win {
namespace {

// The document an event is about: its first argument, the browser object (window or
// frame) as a dispatch pointer; the arguments come last to first. The pointer itself
// tells the documents apart, as the browser hands out the same one for a frame.
std::optional<DocumentId> EventDocument(const DISPPARAMS* parameters) {
  if (parameters == nullptr || parameters->cArgs == 0 || parameters->rgvarg == nullptr) return std::nullopt;
  const VARIANT& first = parameters->rgvarg[parameters->cArgs - 1];
  const VARIANT& value = first.vt == (VT_VARIANT | VT_BYREF) && first.pvarVal != nullptr ? *first.pvarVal : first;
  if (value.vt == VT_DISPATCH) return reinterpret_cast<std::uintptr_t>(value.pdispVal);
  if (value.vt == VT_UNKNOWN) return reinterpret_cast<std::uintptr_t>(value.punkVal);
  return std::nullopt;
}

}  // namespace

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

// Events the band does not follow are answered S_OK and otherwise ignored, as are
// document events that name no document.
STDMETHODIMP CBrowserEventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*,
                                       EXCEPINFO*, UINT*) {
  switch (id) {
    case DISPID_BEFORENAVIGATE2:
      m_loadState.OnBeforeNavigate();
      break;
    case DISPID_NAVIGATECOMPLETE2:
      if (const auto document = EventDocument(parameters)) m_loadState.OnNavigateComplete(*document);
      break;
    case DISPID_DOCUMENTCOMPLETE:
      if (const auto document = EventDocument(parameters)) m_loadState.OnDocumentComplete(*document);
      break;
    case DISPID_DOWNLOADBEGIN:
      m_loadState.OnDownloadBegin();
      break;
    case DISPID_DOWNLOADCOMPLETE:
      m_loadState.OnDownloadComplete();
      break;
    case DISPID_ONQUIT:
      m_handler.OnQuit();
      break;
    default:
      break;
  }
  return S_OK;
}

}  // namespace tracewell::win
