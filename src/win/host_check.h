#pragma once
// The library runs only inside the browser and the registration tool.

#include <string_view>

namespace tracewell::win {

// Whether a process whose executable has this full path may load the library: the
// lower-cased path contains "iexplore.exe" or "regsvr32.exe".
bool IsAcceptedHost(std::wstring_view executablePath);

}  // namespace tracewell::win
