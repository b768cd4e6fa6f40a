#pragma once
// The detail tabs of one record as the command prints them: the "Copy All Rows"
// text of the tab's list (for "header" and "cookies": the left list, then the right);
// for "body" the Body tab's views of the request body and then the response body.

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "cache/cache_files.h"
#include "record/clock.h"
#include "record/http_transaction.h"

namespace tracewell::cli {

inline constexpr std::array<std::string_view, 6> kDetailTabs = {"header", "cookies", "cache",
                                                               "query",  "post",    "body"};

inline bool IsDetailTab(std::string_view name) {
  return std::find(kDetailTabs.begin(), kDetailTabs.end(), name) != kDetailTabs.end();
}

// The text of `tab`, which must be one of kDetailTabs. Stored response bodies are
// read through `files`.
std::u16string DetailTabText(std::string_view tab, const CHttpTransaction& record,
                             const IClock& clock, ICacheFiles& files);

}  // namespace tracewell::cli
