#include "views/find.h"

#include <algorithm>
#include <functional>
#include <initializer_list>

#include "http_text/splitting.h"
#include "views/cookie_view.h"

namespace tracewell {
namespace {

char16_t Shifted(char16_t c, int by) { return static_cast<char16_t>(c + by); }

// U+0100-U+017F: mostly capital/small pairs, capital first, with a few letters
// that have no partner in the block or pair the other way round.
char16_t FoldLatinExtendedA(char16_t c) {
  switch (c) {
    case 0x0130:  // capital I with dot: no simple fold
    case 0x0131:  // dotless i
    case 0x0138:  // kra
    case 0x0149:  // n preceded by apostrophe
      return c;
    case 0x0178: return 0x00FF;  // capital Y with diaeresis
    case 0x017F: return u's';    // long s
    default: break;
  }
  const bool oddCapitals = (c >= 0x0139 && c <= 0x0148) || (c >= 0x0179 && c <= 0x017E);
  if (oddCapitals) return (c & 1) != 0 ? Shifted(c, 1) : c;
  return static_cast<char16_t>(c | 1);
}

// Letters, digits and "_" in ASCII, and every letter-range code unit from U+00C0 on
// except the multiplication and division signs.
bool IsWordUnit(char16_t c) {
  if (c < 0x80) {
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') ||
           c == u'_';
  }
  return c >= 0x00C0 && c != 0x00D7 && c != 0x00F7;
}

// Whether the text from `begin` to `end` is a whole word, not part of a longer one.
bool StandsAlone(std::u16string_view text, std::size_t begin, std::size_t end) {
  return (begin == 0 || !IsWordUnit(text[begin - 1])) &&
         (end == text.size() || !IsWordUnit(text[end]));
}

// Every cell the Cookies tab would show for the record.
bool CookiesContain(const CHttpTransaction& record, const CTextMatcher& matcher) {
  CCookieViewModel cookies;
  cookies.FillRequestCookies(record);
  cookies.FillResponseCookies(record);
  for (const TextRows* rows : {&cookies.RequestRows(), &cookies.ResponseRows()}) {
    for (const TextRow& row : *rows) {
      for (const std::u16string& cell : row) {
        if (matcher.Contains(cell)) return true;
      }
    }
  }
  return false;
}

// Cheap scopes first; the content is read only when nothing else matched.
bool Matches(const CHttpTransaction& record, const FindQuery& query, const CTextMatcher& matcher,
             const IContentReader* content) {
  using enum FindScope;
  if (query.HasScope(kUrls) &&
      (matcher.Contains(record.m_strUrl) || matcher.Contains(record.m_strRedirectUrl)))
    return true;
  if (query.HasScope(kHeaders) && (matcher.Contains(record.m_strRequestHeaders) ||
                                   matcher.Contains(record.m_strResponseHeaders)))
    return true;
  if (query.HasScope(kQueryString)) {
    const auto split = SplitAtFirst(record.m_strUrl, u'?');
    if (split && matcher.Contains(split->value)) return true;
  }
  if (query.HasScope(kCookies) && CookiesContain(record, matcher)) return true;
  if (query.HasScope(kPostData) && matcher.Contains(record.m_strPostData)) return true;
  if (query.HasScope(kResult) && matcher.Contains(record.m_strResult)) return true;
  if (query.HasScope(kContent) && content != nullptr) {
    const auto body = content->ReadContent(record);
    if (body && matcher.Contains(*body)) return true;
  }
  return false;
}

}  // namespace

CTextMatcher::CTextMatcher(const FindQuery& query)
    : m_needle(query.text), m_matchCase(query.matchCase), m_wholeWord(query.wholeWord) {
  if (!m_matchCase) std::ranges::transform(m_needle, m_needle.begin(), FoldCase);
}

bool CTextMatcher::Contains(std::u16string_view haystack) const {
  if (m_needle.empty()) return false;
  for (std::size_t at = Find(haystack, 0); at != std::u16string_view::npos;
       at = Find(haystack, at + 1)) {
    if (!m_wholeWord || StandsAlone(haystack, at, at + m_needle.size())) return true;
  }
  return false;
}

std::size_t CTextMatcher::Find(std::u16string_view haystack, std::size_t from) const {
  if (m_matchCase) return haystack.find(m_needle, from);
  const std::u16string_view rest = haystack.substr(from);
  const auto it = std::search(rest.begin(), rest.end(), m_needle.begin(), m_needle.end(),
                              [](char16_t h, char16_t n) { return FoldCase(h) == n; });
  if (it == rest.end()) return std::u16string_view::npos;
  return from + static_cast<std::size_t>(it - rest.begin());
}

char16_t FoldCase(char16_t c) {
  if (c < 0x80) return c >= u'A' && c <= u'Z' ? Shifted(c, 0x20) : c;
  if (c >= 0x00C0 && c <= 0x00DE) return c == 0x00D7 ? c : Shifted(c, 0x20);
  if (c >= 0x0100 && c <= 0x017F) return FoldLatinExtendedA(c);
  if (c >= 0x0391 && c <= 0x03A9) return c == 0x03A2 ? c : Shifted(c, 0x20);
  if (c == 0x03C2) return 0x03C3;  // final sigma is a sigma
  if (c >= 0x0400 && c <= 0x040F) return Shifted(c, 0x50);
  if (c >= 0x0410 && c <= 0x042F) return Shifted(c, 0x20);
  return c;
}

bool TextContains(std::u16string_view haystack, const FindQuery& query) {
  return CTextMatcher(query).Contains(haystack);
}

bool RecordMatches(const CHttpTransaction& record, const FindQuery& query,
                   const IContentReader* content) {
  return Matches(record, query, CTextMatcher(query), content);
}

std::optional<FindHit> FindNextRow(const CSessionGridModel& grid,
                                   std::optional<std::size_t> current, const FindQuery& query,
                                   const IContentReader* content) {
  const std::size_t count = grid.RowCount();
  if (count == 0 || query.text.empty() || std::ranges::none_of(query.scopes, std::identity{}))
    return std::nullopt;
  if (current && *current >= count) current.reset();

  // Step away from the start row; without one, start just outside the grid so that
  // the first step lands on the first (or last) row and nothing counts as wrapped.
  const std::size_t start = current ? *current : (query.up ? 0 : count - 1);
  const CTextMatcher matcher(query);
  for (std::size_t step = 1; step <= count; ++step) {
    const std::size_t row = query.up ? (start + count - step) % count : (start + step) % count;
    if (!Matches(*grid.RowRecord(row), query, matcher, content)) continue;
    const bool wrapped = current && (query.up ? row >= *current : row <= *current);
    return FindHit{row, wrapped};
  }
  return std::nullopt;
}

}  // namespace tracewell
