#pragma once
// tracewell.dll loaded the way the browser loads it: by file, with its entry points
// looked up by name.

#include <windows.h>

#include <unknwn.h>

namespace tracewell::win::test {

class CTracewellLibrary {
 public:
  // The library beside this program, loaded once for the whole test run.
  static CTracewellLibrary& Get();

  HMODULE Module() const { return m_module; }
  HRESULT GetClassObject(REFCLSID classId, REFIID iid, void** object) const;
  HRESULT CanUnloadNow() const;

 private:
  CTracewellLibrary();

  using GetClassObjectFunction = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
  using CanUnloadNowFunction = HRESULT(WINAPI*)();

  HMODULE m_module = nullptr;
  GetClassObjectFunction m_getClassObject = nullptr;
  CanUnloadNowFunction m_canUnloadNow = nullptr;
};

}  // namespace tracewell::win::test
