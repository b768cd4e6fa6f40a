#pragma once
// Puts a function of the test's in place of one that a module imports, by rewriting
// the module's import address table entry; when the patch goes, the entry points at
// the imported function again.
// The library's calls of that function (ShellExecuteW, say) then reach the test.

#include <windows.h>

namespace tracewell::win::test {

class CImportPatch {
 public:
  // `library` and `function` as the module's import table names them ("shell32.dll",
  // "ShellExecuteW"); the patch is inactive when the module does not import it.
  CImportPatch(HMODULE module, const char* library, const char* function, void* replacement);
  ~CImportPatch();
  CImportPatch(const CImportPatch&) = delete;
  CImportPatch& operator=(const CImportPatch&) = delete;

  bool Active() const { return m_entry != nullptr; }

 private:
  static void Write(void** entry, void* value);

  void** m_entry = nullptr;
  void* m_original = nullptr;
};

}  // namespace tracewell::win::test
