#pragma once
// The program's own version: shown by the command line and compared, as text, with
// the version file of the update site.

#include <string_view>

namespace tracewell {

inline constexpr std::string_view kProgramVersion = "1.0.0.0";

}  // namespace tracewell
