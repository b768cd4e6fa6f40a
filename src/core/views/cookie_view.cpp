#include "views/cookie_view.h"

#include "http_text/header_block.h"

namespace tracewell {
namespace {

// Calls `visit(name, value)`, both trimmed, for every ";" piece that splits at "=".
template <typename Visit>
void ForEachCookiePiece(std::u16string_view headerValue, Visit&& visit) {
  ForEachPiece(headerValue, u";", [&](std::u16string_view piece) {
    if (const auto pair = SplitAtFirst(piece, u'=')) visit(Trim(pair->name), Trim(pair->value));
  });
}

}  // namespace

void CCookieViewModel::ClearCookieViews() {
  m_requestRows.clear();
  m_responseRows.clear();
}

void CCookieViewModel::FillRequestCookies(const CHttpTransaction& record) {
  // The first line counts as a header line too, and names are compared untrimmed.
  bool found = false;
  ForEachPiece(record.m_strRequestHeaders, kLineBreaks, [&](std::u16string_view line) {
    const auto field = SplitAtFirst(line, u':');
    if (found || !field || !EqualsIgnoringCase(field->name, u"Cookie")) return;
    found = true;
    ForEachCookiePiece(field->value, [&](std::u16string_view name, std::u16string_view value) {
      m_requestRows.push_back({std::u16string(name), std::u16string(value)});
    });
  });
}

void CCookieViewModel::FillResponseCookies(const CHttpTransaction& record) {
  ForEachPiece(record.m_strResponseHeaders, kLineBreaks, [&](std::u16string_view line) {
    const auto field = SplitAtFirst(line, u':');
    if (!field || !EqualsIgnoringCase(Trim(field->name), u"Set-Cookie")) return;
    const auto value = Trim(field->value);
    if (value.empty()) return;
    enum { kName, kValue, kPath, kDomain, kExpires };
    TextRow cookie(5);
    ForEachCookiePiece(value, [&](std::u16string_view name, std::u16string_view text) {
      if (EqualsIgnoringCase(name, u"expires")) {
        cookie[kExpires] = text;
      } else if (EqualsIgnoringCase(name, u"path")) {
        cookie[kPath] = text;
      } else if (EqualsIgnoringCase(name, u"domain")) {
        cookie[kDomain] = text;
      } else {
        cookie[kName] = name;
        cookie[kValue] = text;
      }
    });
    m_responseRows.push_back(std::move(cookie));
  });
}

}  // namespace tracewell
