#include "class_factory_base.h"

#include "module.h"

namespace tracewell::win {

STDMETHODIMP CClassFactoryBase::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IClassFactory) {
    *object = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP CClassFactoryBase::LockServer(BOOL lock) {
  if (lock) {
    CBandkitModule::Get().Lock();
  } else {
    CBandkitModule::Get().Unlock();
  }
  return S_OK;
}

}  // namespace tracewell::win
