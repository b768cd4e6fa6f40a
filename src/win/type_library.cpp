#include "type_library.h"

#include <oleauto.h>

#include "com_ptr.h"
#include "module.h"

namespace tracewell::win {
namespace {

using RegisterForUser = HRESULT(WINAPI*)(ITypeLib*, OLECHAR*, OLECHAR*);
using UnregisterForUser = HRESULT(WINAPI*)(REFGUID, WORD, WORD, LCID, SYSKIND);

// An OLEAUT32 entry point that older systems lack; null when it is missing.
template <typename Function>
Function OleAutomationEntry(const char* name) {
  const HMODULE oleaut = GetModuleHandleW(L"OLEAUT32.DLL");
  if (oleaut == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(oleaut, name)));
}

HRESULT LoadOwnTypeLibrary(std::wstring& path, ComPtr<ITypeLib>& library) {
  path = CBandkitModule::Get().ModulePath();
  return LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.Receive());
}

}  // namespace

HRESULT RegisterTypeLibrary(bool perUser) {
  std::wstring path;
  ComPtr<ITypeLib> library;
  if (const HRESULT hr = LoadOwnTypeLibrary(path, library); FAILED(hr)) return hr;
  if (perUser) {
    if (const auto forUser = OleAutomationEntry<RegisterForUser>("RegisterTypeLibForUser")) {
      return forUser(library.Get(), path.data(), nullptr);
    }
  }
  return RegisterTypeLib(library.Get(), path.data(), nullptr);
}

HRESULT UnregisterTypeLibrary(bool perUser) {
  std::wstring path;
  ComPtr<ITypeLib> library;
  if (const HRESULT hr = LoadOwnTypeLibrary(path, library); FAILED(hr)) return hr;
  TLIBATTR* attributes = nullptr;
  if (const HRESULT hr = library->GetLibAttr(&attributes); FAILED(hr)) return hr;
  const TLIBATTR a = *attributes;
  library->ReleaseTLibAttr(attributes);
  if (perUser) {
    if (const auto forUser = OleAutomationEntry<UnregisterForUser>("UnRegisterTypeLibForUser")) {
      return forUser(a.guid, a.wMajorVerNum, a.wMinorVerNum, a.lcid, a.syskind);
    }
  }
  return UnRegisterTypeLib(a.guid, a.wMajorVerNum, a.wMinorVerNum, a.lcid, a.syskind);
}

}  // namespace tracewell::win
