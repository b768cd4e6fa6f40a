#include "product_addresses.h"

#include <windows.h>

#include "update/version.h"

namespace tracewell::win {
namespace {

std::u16string FromEnvironment(const wchar_t* name, std::u16string_view fallback) {
  wchar_t value[2048] = {};
  const DWORD length = GetEnvironmentVariableW(name, value, static_cast<DWORD>(std::size(value)));
  if (length == 0 || length >= std::size(value)) return std::u16string(fallback);
  return std::u16string(value, value + length);
}

}  // namespace

std::u16string HomePage() { return FromEnvironment(L"TRACEWELL_HOME_PAGE", kHomePage); }

std::u16string SupportEmail() { return FromEnvironment(L"TRACEWELL_SUPPORT_EMAIL", kSupportEmail); }

std::u16string UpdateSite() { return FromEnvironment(L"TRACEWELL_UPDATE_SITE", kUpdateSite); }

}  // namespace tracewell::win
