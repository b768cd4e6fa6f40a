#pragma once
// Where the maker is reached: the home page (About, Technical Support), the support
// address (About) and the update site (Check for Update). A deployment or a test
// replaces each with its environment variable, TRACEWELL_HOME_PAGE,
// TRACEWELL_SUPPORT_EMAIL or TRACEWELL_UPDATE_SITE (an empty value does not count),
// read each time it is needed.

#include <string>

namespace tracewell::win {

std::u16string HomePage();
std::u16string SupportEmail();
// Without a trailing slash.
std::u16string UpdateSite();

}  // namespace tracewell::win
