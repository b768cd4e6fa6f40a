#pragma once
// What every class object of this library answers alike: its interfaces, and
// LockServer, which holds the module loaded. Counting and CreateInstance are each
// class object's own.

#include <windows.h>

#include <unknwn.h>

namespace tracewell::win {

class CClassFactoryBase : public IClassFactory {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP LockServer(BOOL lock) override;
};

}  // namespace tracewell::win
