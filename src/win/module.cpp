#include "module.h"

namespace tracewell::win {

CBandkitModule& CBandkitModule::Get() {
  static CBandkitModule module;
  return module;
}

void CBandkitModule::Init(HINSTANCE instance) { m_instance = instance; }

std::wstring CBandkitModule::ModulePath() const {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(m_instance, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace tracewell::win
