#pragma once
// The core's UTF-16 text as the Win32 API's wide strings: on Windows both are UTF-16,
// so each unit is taken as it is.

#include <string>
#include <string_view>

namespace tracewell::win {

inline std::wstring Wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

}  // namespace tracewell::win
