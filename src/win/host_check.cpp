#include "host_check.h"

#include <windows.h>

#include <string>

namespace tracewell::win {

bool IsAcceptedHost(std::wstring_view executablePath) {
  std::wstring lower(executablePath);
  CharLowerBuffW(lower.data(), static_cast<DWORD>(lower.size()));
  return lower.find(L"iexplore.exe") != std::wstring::npos ||
         lower.find(L"regsvr32.exe") != std::wstring::npos;
}

}  // namespace tracewell::win
