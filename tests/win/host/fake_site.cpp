#include "fake_site.h"

#include <shlguid.h>

#include "fake_browser.h"

namespace tracewell::win::test {

STDMETHODIMP CFakeSite::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (iid == IID_IUnknown) {
    *object = static_cast<IOleWindow*>(this);
  } else if (iid == IID_IOleWindow && m_parts.window) {
    *object = static_cast<IOleWindow*>(this);
  } else if (iid == IID_IInputObjectSite && m_parts.inputObjectSite) {
    *object = static_cast<IInputObjectSite*>(this);
  } else if (iid == IID_IServiceProvider && m_parts.serviceProvider) {
    *object = static_cast<IServiceProvider*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP CFakeSite::GetWindow(HWND* window) {
  if (window == nullptr) return E_POINTER;
  *window = m_window;
  return S_OK;
}

STDMETHODIMP CFakeSite::QueryService(REFGUID service, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (service != SID_SWebBrowserApp || m_browser == nullptr) return E_NOINTERFACE;
  return m_browser->QueryInterface(iid, object);
}

}  // namespace tracewell::win::test
