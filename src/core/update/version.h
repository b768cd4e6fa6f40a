#pragma once
// The program's own version (shown by the command line and compared, as text, with
// the version file of the update site) and where its maker is reached.

#include <string_view>

#include "update/build_addresses.h"

namespace tracewell {

inline constexpr std::string_view kProgramVersion = "1.0.0.0";

// kHomePage (About, Technical Support), kSupportEmail (About) and kUpdateSite (Check
// for Update, no trailing slash) are the build's settings; the hosts read the
// environment variables of the same names first.

}  // namespace tracewell
