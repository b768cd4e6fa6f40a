#pragma once
// Where the maker is reached: the home page (Technical Support) and the update site
// (Check for Update). A deployment or a test replaces either with its environment
// variable, TRACEWELL_HOME_PAGE or TRACEWELL_UPDATE_SITE (an empty value does not
// count), read each time it is needed.

#include <string>

namespace tracewell::win {

std::u16string HomePage();
// Without a trailing slash.
std::u16string UpdateSite();

}  // namespace tracewell::win
