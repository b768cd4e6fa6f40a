#include "fake_browser.h"

#include <exdisp.h>
#include <olectl.h>

namespace tracewell::win::test {

CFakeBrowser::~CFakeBrowser() {
  if (m_sink != nullptr) m_sink->Release();
}

bool CFakeBrowser::Fire(DISPID id) {
  if (m_sink == nullptr) return false;
  DISPPARAMS none{};
  m_sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr,
                 nullptr);
  return true;
}

// As the browser passes them: last argument first, the URL by reference.
bool CFakeBrowser::FireDocumentEvent(DISPID id, IDispatch* document) {
  if (m_sink == nullptr) return false;
  VARIANT url;
  VariantInit(&url);
  url.vt = VT_BSTR;
  url.bstrVal = SysAllocString(L"http://127.0.0.1/");
  VARIANT arguments[2];
  VariantInit(&arguments[0]);
  arguments[0].vt = VT_VARIANT | VT_BYREF;
  arguments[0].pvarVal = &url;
  VariantInit(&arguments[1]);
  arguments[1].vt = VT_DISPATCH;
  arguments[1].pdispVal = document;
  DISPPARAMS parameters{arguments, nullptr, 2, 0};
  m_sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, nullptr, nullptr,
                 nullptr);
  VariantClear(&url);
  return true;
}

STDMETHODIMP CFakeBrowser::get_Document(IDispatch** document) {
  if (document == nullptr) return E_POINTER;
  *document = page;
  if (page == nullptr) return E_NOTIMPL;
  page->AddRef();
  return S_OK;
}

STDMETHODIMP CFakeBrowser::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IWebBrowser ||
      iid == IID_IWebBrowserApp || iid == IID_IWebBrowser2) {
    *object = static_cast<IWebBrowser2*>(this);
  } else if (iid == IID_IConnectionPointContainer) {
    *object = static_cast<IConnectionPointContainer*>(this);
  } else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP CFakeBrowser::Navigate(BSTR url, VARIANT*, VARIANT*, VARIANT*, VARIANT*) {
  navigations.emplace_back(url != nullptr ? url : L"(null)");
  return S_OK;
}

STDMETHODIMP CFakeBrowser::ShowBrowserBar(VARIANT* bar, VARIANT* show, VARIANT*) {
  BarRequest request;
  request.bar = bar != nullptr && bar->vt == VT_BSTR ? bar->bstrVal : L"(not a string)";
  request.show = !(show != nullptr && show->vt == VT_BOOL && show->boolVal == VARIANT_FALSE);
  barRequests.push_back(request);
  return S_OK;
}

STDMETHODIMP CFakeBrowser::EnumConnectionPoints(IEnumConnectionPoints**) { return E_NOTIMPL; }

STDMETHODIMP CFakeBrowser::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  if (point == nullptr) return E_POINTER;
  *point = nullptr;
  if (iid != DIID_DWebBrowserEvents2) return CONNECT_E_NOCONNECTION;
  *point = this;
  AddRef();
  return S_OK;
}

STDMETHODIMP CFakeBrowser::GetConnectionInterface(IID* iid) {
  if (iid == nullptr) return E_POINTER;
  *iid = DIID_DWebBrowserEvents2;
  return S_OK;
}

STDMETHODIMP CFakeBrowser::GetConnectionPointContainer(IConnectionPointContainer** container) {
  if (container == nullptr) return E_POINTER;
  *container = this;
  AddRef();
  return S_OK;
}

// One sink at a time, which is all the band ever connects.
STDMETHODIMP CFakeBrowser::Advise(IUnknown* sink, DWORD* cookie) {
  if (sink == nullptr || cookie == nullptr) return E_POINTER;
  if (m_sink != nullptr) return CONNECT_E_ADVISELIMIT;
  const HRESULT hr = sink->QueryInterface(DIID_DWebBrowserEvents2, reinterpret_cast<void**>(&m_sink));
  if (FAILED(hr)) return CONNECT_E_CANNOTCONNECT;
  ++advises;
  *cookie = kCookie;
  return S_OK;
}

STDMETHODIMP CFakeBrowser::Unadvise(DWORD cookie) {
  if (cookie != kCookie || m_sink == nullptr) return CONNECT_E_NOCONNECTION;
  m_sink->Release();
  m_sink = nullptr;
  ++unadvises;
  return S_OK;
}

STDMETHODIMP CFakeBrowser::EnumConnections(IEnumConnections**) { return E_NOTIMPL; }

}  // namespace tracewell::win::test
