#include "http_text/parameters.h"

namespace tracewell {
namespace {

std::vector<NameValueText> TrimmedParameters(std::u16string_view text) {
  std::vector<NameValueText> parameters;
  ForEachParameter(text, [&](const NameValue& parameter) {
    parameters.push_back({std::u16string(Trim(parameter.name)), std::u16string(Trim(parameter.value))});
  });
  return parameters;
}

}  // namespace

std::vector<NameValueText> QueryParameters(std::u16string_view url) {
  const auto query = SplitAtFirst(url, u'?');
  if (!query) return {};
  return TrimmedParameters(query->value);
}

std::vector<NameValueText> PostParameters(std::u16string_view method, std::u16string_view body) {
  if (method != u"POST") return {};
  return TrimmedParameters(body);
}

}  // namespace tracewell
