#pragma once
// The band's class object. One per process, made on the first DllGetClassObject and
// kept by the module; references beyond the module's own keep the library loaded,
// as LockServer(TRUE) does.

#include <windows.h>

#include "class_factory_base.h"

namespace tracewell::win {

class CHttpAppFactory final : public CClassFactoryBase {
 public:
  // The process's factory, made on first use.
  static CHttpAppFactory& Get();

  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override;

 private:
  CHttpAppFactory() = default;
  volatile LONG m_nReferences = 1;  // the module's own
};

}  // namespace tracewell::win
