#pragma once
// Registering the server: the class, its ProgIDs and AppID, the horizontal explorer-bar
// category, the browser's toolbar button and the type library. Unregistering takes out
// exactly that again.

#include <windows.h>

namespace tracewell::win {

HRESULT RegisterServer();
HRESULT UnregisterServer();

// DllInstall's command line asks for per-user registration when it is "user" in any
// letter case, and nothing longer or shorter.
bool IsPerUserCommand(const wchar_t* commandLine);

// DllInstall: unregisters when `install` is FALSE; otherwise registers, undoing a
// registration that failed half-way.
HRESULT InstallServer(BOOL install, const wchar_t* commandLine);

}  // namespace tracewell::win
