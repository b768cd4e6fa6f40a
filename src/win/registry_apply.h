#pragma once
// Writing a registry script into the registry, and taking out again exactly what it
// wrote.

#include <windows.h>

#include "registry_script.h"

namespace tracewell::win {

// Creates every key and value of the script; ForceRemove keys are replaced whole.
HRESULT RegisterScript(const RegistryScript& script);

// Removes what RegisterScript wrote: ForceRemove keys whole; ordinary keys lose the
// script's values and go once no subkey is left; NoRemove keys stay. Keys that are
// already gone are no error.
HRESULT UnregisterScript(const RegistryScript& script);

}  // namespace tracewell::win
