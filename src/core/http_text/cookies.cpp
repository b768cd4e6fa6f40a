#include "http_text/cookies.h"

namespace tracewell {
namespace {

// Calls `visit(name, value)`, both trimmed, for every ";" piece that splits at "=".
template <typename Visit>
void ForEachCookiePiece(std::u16string_view headerValue, Visit&& visit) {
  ForEachPiece(headerValue, u";", [&](std::u16string_view piece) {
    if (const auto pair = SplitAtFirst(piece, u'=')) visit(Trim(pair->name), Trim(pair->value));
  });
}

SetCookieText SetCookie(std::u16string_view value) {
  SetCookieText cookie;
  ForEachCookiePiece(value, [&](std::u16string_view name, std::u16string_view text) {
    if (EqualsIgnoringCase(name, u"expires")) {
      cookie.expires = text;
    } else if (EqualsIgnoringCase(name, u"path")) {
      cookie.path = text;
    } else if (EqualsIgnoringCase(name, u"domain")) {
      cookie.domain = text;
    } else {
      cookie.name = name;
      cookie.value = text;
    }
  });
  return cookie;
}

}  // namespace

std::vector<NameValueText> RequestCookies(std::u16string_view requestHeaders) {
  std::vector<NameValueText> cookies;
  bool found = false;
  ForEachLine(requestHeaders, [&](std::u16string_view line) {
    const auto field = SplitAtFirst(line, u':');
    if (found || !field || !EqualsIgnoringCase(field->name, u"Cookie")) return;
    found = true;
    ForEachCookiePiece(field->value, [&](std::u16string_view name, std::u16string_view value) {
      cookies.push_back({std::u16string(name), std::u16string(value)});
    });
  });
  return cookies;
}

std::vector<SetCookieText> ResponseCookies(std::u16string_view responseHeaders) {
  std::vector<SetCookieText> cookies;
  ForEachLine(responseHeaders, [&](std::u16string_view line) {
    const auto field = SplitAtFirst(line, u':');
    if (!field || !EqualsIgnoringCase(Trim(field->name), u"Set-Cookie")) return;
    const auto value = Trim(field->value);
    if (!value.empty()) cookies.push_back(SetCookie(value));
  });
  return cookies;
}

}  // namespace tracewell
