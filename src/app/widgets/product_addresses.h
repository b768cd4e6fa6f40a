#pragma once
// Where the maker is reached: the home page (About, Technical Support), the support
// address (About) and the update site (Check for Update). Each can be replaced for a
// deployment or a test by its environment variable: TRACEWELL_HOME_PAGE,
// TRACEWELL_SUPPORT_EMAIL, TRACEWELL_UPDATE_SITE (an empty value does not count).

#include <QString>

namespace tracewell::app {

struct ProductAddresses {
  QString homePage;
  QString supportEmail;
  QString updateSite;  // no trailing slash
};

ProductAddresses ReadProductAddresses();

}  // namespace tracewell::app
