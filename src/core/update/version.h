#pragma once
// The program's own version (shown by the command line and compared, as text, with
// the version file of the update site) and where its maker is reached.

#include <string_view>

namespace tracewell {

inline constexpr std::string_view kProgramVersion = "1.0.0.0";

// The home page (About, Technical Support), the support address (About) and the
// update site (Check for Update, no trailing slash). The desktop host reads
// TRACEWELL_HOME_PAGE, TRACEWELL_SUPPORT_EMAIL and TRACEWELL_UPDATE_SITE first.
inline constexpr std::u16string_view kHomePage = u"https://tracewell.dev/";
inline constexpr std::u16string_view kSupportEmail = u"support@tracewell.dev";
inline constexpr std::u16string_view kUpdateSite = u"https://tracewell.dev";

}  // namespace tracewell
