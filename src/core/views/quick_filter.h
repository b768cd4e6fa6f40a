#pragma once
// The quick filter: a text that hides the rows whose URL does not contain it, or,
// after a prefix "method:", "status:", "type:" or "host:", whose method, result,
// content type or URL host does not contain the rest. Case does not matter (the
// Find dialog's fold). It narrows whatever the filter dialog lets through.

#include <optional>
#include <string>
#include <string_view>

#include "record/http_transaction.h"
#include "views/filter.h"
#include "views/find.h"

namespace tracewell {

// The record field a quick filter looks at.
enum class QuickFilterField { kUrl, kMethod, kResult, kType, kHost };

// The host of a URL: after "scheme://" (or from the start when there is none), up
// to the path, query or fragment, without user info and port; "[::1]" keeps its
// brackets.
std::u16string_view UrlHost(std::u16string_view url);

class CQuickFilter {
 public:
  // Hides nothing.
  CQuickFilter() = default;
  // Spaces around the text and after the prefix do not count; a prefix is known in
  // any case; any other "word:" (such as "https:") is part of a URL text.
  explicit CQuickFilter(std::u16string_view text);

  // Whether it hides anything: an empty text (or a prefix alone) hides nothing.
  bool IsActive() const { return m_matcher.has_value(); }
  bool Passes(const CHttpTransaction& record) const;

 private:
  QuickFilterField m_field = QuickFilterField::kUrl;
  std::optional<CTextMatcher> m_matcher;
};

// Whether a record has a row in the grid: the filter (when on; its records classified)
// and the quick filter both let it through.
bool PassesFilters(const FilterSettings& filter, const CQuickFilter& quickFilter, const CHttpTransaction& record);

}  // namespace tracewell
