#include "win_collator.h"

#include <windows.h>

#include <string>

namespace tracewell::win {

int CWinCollator::Compare(std::u16string_view a, std::u16string_view b) const {
  const std::wstring left(a.begin(), a.end());
  const std::wstring right(b.begin(), b.end());
  return lstrcmpW(left.c_str(), right.c_str());
}

}  // namespace tracewell::win
