#pragma once
// The detail tabs of one record as the command prints them: the "Copy All Rows"
// text of the tab's list (for "header" and "cookies": the left list, then the right).

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "record/clock.h"
#include "record/http_transaction.h"

namespace tracewell::cli {

inline constexpr std::array<std::string_view, 5> kDetailTabs = {"header", "cookies", "cache",
                                                               "query", "post"};

inline bool IsDetailTab(std::string_view name) {
  return std::find(kDetailTabs.begin(), kDetailTabs.end(), name) != kDetailTabs.end();
}

// The text of `tab`, which must be one of kDetailTabs.
std::u16string DetailTabText(std::string_view tab, const CHttpTransaction& record,
                             const IClock& clock);

}  // namespace tracewell::cli
