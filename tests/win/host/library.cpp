#include "library.h"

#include <cstdio>
#include <cstdlib>

namespace tracewell::win::test {
namespace {

template <typename Function>
Function Entry(HMODULE module, const char* name) {
  const FARPROC entry = GetProcAddress(module, name);
  if (entry == nullptr) {
    std::fprintf(stderr, "tracewell.dll does not export %s\n", name);
    std::abort();
  }
  return reinterpret_cast<Function>(reinterpret_cast<void*>(entry));
}

}  // namespace

CTracewellLibrary& CTracewellLibrary::Get() {
  static CTracewellLibrary library;
  return library;
}

CTracewellLibrary::CTracewellLibrary() : m_module(LoadLibraryW(L"tracewell.dll")) {
  if (m_module == nullptr) {
    std::fprintf(stderr, "cannot load tracewell.dll (error %lu)\n", GetLastError());
    std::abort();
  }
  m_getClassObject = Entry<GetClassObjectFunction>(m_module, "DllGetClassObject");
  m_canUnloadNow = Entry<CanUnloadNowFunction>(m_module, "DllCanUnloadNow");
}

HRESULT CTracewellLibrary::GetClassObject(REFCLSID classId, REFIID iid, void** object) const {
  return m_getClassObject(classId, iid, object);
}

HRESULT CTracewellLibrary::CanUnloadNow() const { return m_canUnloadNow(); }

}  // namespace tracewell::win::test
