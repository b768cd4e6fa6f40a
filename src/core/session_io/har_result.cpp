#include "session_io/har_result.h"

#include "http_text/network_errors.h"
#include "text/format.h"

namespace tracewell {
namespace {

constexpr std::u16string_view kCache = u"(Cache)";
constexpr std::u16string_view kAborted = u"(Aborted)";
constexpr int kFirstStatus = 100;
constexpr int kLastStatus = 999;

// The whole text as a decimal number without sign or spaces.
std::optional<int> WholeNumber(std::u16string_view text) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  int value = 0;
  for (const char16_t c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + (c - u'0');
  }
  return value;
}

bool IsStatusCode(int code) { return code >= kFirstStatus && code <= kLastStatus; }

}  // namespace

HarStatus HarStatusOf(std::u16string_view result, int statusLineCode) {
  if (result == kCache) return {IsStatusCode(statusLineCode) ? statusLineCode : 200, {}, true};
  const auto number = WholeNumber(result);
  if (number && IsStatusCode(*number)) return {*number, {}, false};
  if (number && *number != kFirstInternetError) {
    if (const auto name = InternetErrorName(*number)) return {0, std::u16string(*name), false};
  }
  return {0, std::u16string(result), false};
}

std::u16string ResultOfHarStatus(int status, std::u16string_view error, bool fromCache) {
  if (status != 0) return fromCache ? std::u16string(kCache) : FormatText("%d", status);
  if (error.empty()) return {};
  for (int code = kFirstInternetError + 1; code <= kLastInternetError; ++code) {
    if (InternetErrorName(code) == error) return FormatText("%d", code);
  }
  return std::u16string(kAborted);
}

}  // namespace tracewell
