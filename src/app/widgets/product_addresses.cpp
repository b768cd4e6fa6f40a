#include "widgets/product_addresses.h"

#include <QtGlobal>

#include "update/version.h"
#include "widgets/qt_text.h"

namespace tracewell::app {
namespace {

QString FromEnvironment(const char* name, std::u16string_view fallback) {
  const QString value = qEnvironmentVariable(name);
  return value.isEmpty() ? ToQString(fallback) : value;
}

}  // namespace

ProductAddresses ReadProductAddresses() {
  return {FromEnvironment("TRACEWELL_HOME_PAGE", kHomePage),
          FromEnvironment("TRACEWELL_SUPPORT_EMAIL", kSupportEmail),
          FromEnvironment("TRACEWELL_UPDATE_SITE", kUpdateSite)};
}

}  // namespace tracewell::app
