#pragma once
// The Find dialog's search: which texts of a record each scope covers, how the
// query text matches them (case, whole word), and the next grid row that matches.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "record/http_transaction.h"
#include "views/session_grid.h"

namespace tracewell {

// The scopes in the dialog's order: "URLs", "Headers", "Query String", "Cookies",
// "Post Data", "Result/Status Code", "Content".
enum class FindScope : std::uint8_t {
  kUrls, kHeaders, kQueryString, kCookies, kPostData, kResult, kContent
};
inline constexpr std::size_t kFindScopeCount = 7;

struct FindQuery {
  std::u16string text;
  bool matchCase = false;
  bool wholeWord = false;
  bool up = false;  // search towards the top
  std::array<bool, kFindScopeCount> scopes{};

  bool HasScope(FindScope scope) const { return scopes[static_cast<std::size_t>(scope)]; }
  void SetScope(FindScope scope, bool on = true) { scopes[static_cast<std::size_t>(scope)] = on; }
};

// Where the text of a record's page lives (the response body the host stored).
class IContentReader {
 public:
  virtual ~IContentReader() = default;
  // The body as text, or nothing when the host has none for this record.
  virtual std::optional<std::u16string> ReadContent(const CHttpTransaction& record) const = 0;
};

// The simple case fold used when case does not matter: ASCII, Latin-1, Latin
// Extended-A, basic Greek and Cyrillic capitals map to their small letters.
char16_t FoldCase(char16_t c);

// Whether the query text occurs in `haystack` under the query's case and whole-word
// options. An empty query text occurs nowhere.
bool TextContains(std::u16string_view haystack, const FindQuery& query);

// The query's text prepared once (folded when case does not matter) and matched
// against any number of texts; the scopes and the direction play no part.
class CTextMatcher {
 public:
  explicit CTextMatcher(const FindQuery& query);
  // Whether the text occurs in `haystack`; an empty text occurs nowhere.
  bool Contains(std::u16string_view haystack) const;

 private:
  std::size_t Find(std::u16string_view haystack, std::size_t from) const;

  std::u16string m_needle;
  bool m_matchCase;
  bool m_wholeWord;
};

// Whether any text of the chosen scopes of the record contains the query text; a
// match never spans two texts. Content needs a reader that has the body.
bool RecordMatches(const CHttpTransaction& record, const FindQuery& query,
                   const IContentReader* content);

struct FindHit {
  std::size_t row;
  bool wrapped;  // the hit lies on the other side of the starting row
  bool operator==(const FindHit&) const = default;
};

// The next row after `current` (from the first or last row when there is none, or it
// is past the end) in the query's direction whose record matches, going round once;
// `current` itself is tried last. Nothing for an empty text, no scope chosen or no
// matching row.
std::optional<FindHit> FindNextRow(const CSessionGridModel& grid,
                                   std::optional<std::size_t> current, const FindQuery& query,
                                   const IContentReader* content);

}  // namespace tracewell
