#include "class_factory.h"

#include "http_app.h"
#include "module.h"

namespace tracewell::win {

CHttpAppFactory& CHttpAppFactory::Get() {
  // Made once, thread-safely; the module's reference is never given up, as the
  // factory lives as long as the process has the library.
  static CHttpAppFactory* factory = new CHttpAppFactory();
  return *factory;
}

STDMETHODIMP_(ULONG) CHttpAppFactory::AddRef() {
  const LONG count = InterlockedIncrement(&m_nReferences);
  if (count == 2) CBandkitModule::Get().Lock();
  return static_cast<ULONG>(count);
}

STDMETHODIMP_(ULONG) CHttpAppFactory::Release() {
  const LONG count = InterlockedDecrement(&m_nReferences);
  if (count == 1) CBandkitModule::Get().Unlock();
  return static_cast<ULONG>(count);
}

STDMETHODIMP CHttpAppFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  // An aggregate may only ask for the band's own IUnknown, through which it reaches
  // the rest.
  if (outer != nullptr && iid != IID_IUnknown) return CLASS_E_NOAGGREGATION;
  IUnknown* band = CHttpApp::Create(outer);
  const HRESULT hr = band->QueryInterface(iid, object);
  band->Release();
  return hr;
}

}  // namespace tracewell::win
