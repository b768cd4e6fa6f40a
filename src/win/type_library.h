#pragma once
// The type library built into the library's resources (TYPELIB 1), registered
// machine-wide or, with DllInstall's "user", for the current user where the system
// offers that.

#include <windows.h>

namespace tracewell::win {

HRESULT RegisterTypeLibrary(bool perUser);
HRESULT UnregisterTypeLibrary(bool perUser);

}  // namespace tracewell::win
