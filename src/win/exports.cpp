// The library's entry points.

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "class_factory.h"
#include "com_ids.h"
#include "host_check.h"
#include "module.h"
#include "registration.h"

namespace {

// Held loaded for the main window's rich-edit views.
HMODULE g_richEdit = nullptr;

// The library stays out of every process but the browser and the registration tool.
BOOL OnProcessAttach(HINSTANCE instance) {
  std::wstring host(MAX_PATH, L'\0');
  host.resize(GetModuleFileNameW(nullptr, host.data(), MAX_PATH));
  if (!tracewell::win::IsAcceptedHost(host)) return FALSE;
  tracewell::win::CBandkitModule::Get().Init(instance);
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_COOL_CLASSES};
  InitCommonControlsEx(&controls);
  g_richEdit = LoadLibraryW(L"RICHED20.DLL");
  DisableThreadLibraryCalls(instance);
  return TRUE;
}

void OnProcessDetach() {
  if (g_richEdit != nullptr) FreeLibrary(g_richEdit);
  g_richEdit = nullptr;
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) return OnProcessAttach(instance);
  if (reason == DLL_PROCESS_DETACH) OnProcessDetach();
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID classId, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (classId != tracewell::win::kClsidTracewellApp) return CLASS_E_CLASSNOTAVAILABLE;
  return tracewell::win::CHttpAppFactory::Get().QueryInterface(iid, object);
}

STDAPI DllCanUnloadNow() {
  return tracewell::win::CBandkitModule::Get().LockCount() == 0 ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer() { return tracewell::win::RegisterServer(); }

STDAPI DllUnregisterServer() { return tracewell::win::UnregisterServer(); }

STDAPI DllInstall(BOOL install, LPCWSTR commandLine) {
  return tracewell::win::InstallServer(install, commandLine);
}

}  // extern "C"
