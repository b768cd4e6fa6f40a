#include "help_topics.h"

#include <shellapi.h>

#include "module.h"

namespace tracewell::win {

std::wstring HelpFilePath(const std::wstring& modulePath) {
  const std::size_t slash = modulePath.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? std::wstring() : modulePath.substr(0, slash);
  return folder + L"\\Tracewell.html";
}

void OpenHelpTopics(HWND owner) {
  const std::wstring path = HelpFilePath(CBandkitModule::Get().ModulePath());
  // The default verb (nullptr), as a double click would open it.
  ShellExecuteW(owner, nullptr, path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace tracewell::win
