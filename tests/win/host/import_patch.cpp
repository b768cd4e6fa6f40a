#include "import_patch.h"

#include <cstring>

namespace tracewell::win::test {
namespace {

// The import address table entry of `function` from `library`, found by name through
// the lookup table beside it; nullptr when the module does not import it by name.
void** FindImportEntry(HMODULE module, const char* library, const char* function) {
  auto* base = reinterpret_cast<BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) return nullptr;
  for (auto* descriptor = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       descriptor->Name != 0; ++descriptor) {
    if (_stricmp(reinterpret_cast<const char*>(base + descriptor->Name), library) != 0) continue;
    auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + descriptor->OriginalFirstThunk);
    auto* entries = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++entries) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* name = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(name->Name), function) == 0) {
        return reinterpret_cast<void**>(&entries->u1.Function);
      }
    }
  }
  return nullptr;
}

}  // namespace

CImportPatch::CImportPatch(HMODULE module, const char* library, const char* function, void* replacement)
    : m_entry(FindImportEntry(module, library, function)) {
  if (m_entry == nullptr) return;
  m_original = *m_entry;
  Write(m_entry, replacement);
}

CImportPatch::~CImportPatch() {
  if (m_entry != nullptr) Write(m_entry, m_original);
}

// The table may lie in read-only pages once the loader is done with it.
void CImportPatch::Write(void** entry, void* value) {
  DWORD previous = 0;
  VirtualProtect(entry, sizeof(void*), PAGE_READWRITE, &previous);
  *entry = value;
  VirtualProtect(entry, sizeof(void*), previous, &previous);
}

}  // namespace tracewell::win::test
