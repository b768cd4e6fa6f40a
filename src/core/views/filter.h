#pragma once
// The grid's filter: which records get rows while filtering is on, by result
// (status code) and content type. It never deletes records; exports ignore it.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "record/http_transaction.h"

namespace tracewell {

struct FilterSettings {
  bool m_bFilterOn = false;
  bool m_bFilterByStatus = false;
  bool m_bFilterByType = false;
  std::int32_t m_nFilterCombine = 0;  // 0: OR; any other value: AND
  std::vector<std::u16string> m_arrFilterStatusCodes;   // in the order checked
  std::vector<std::u16string> m_arrFilterContentTypes;  // in the order checked
};

struct StatusCodeChoice {
  std::u16string_view code;
  std::u16string_view description;
};

// The rows of the filter dialog's two lists, in order.
extern const std::array<StatusCodeChoice, 16> kFilterStatusCodes;
extern const std::array<std::u16string_view, 11> kFilterContentTypes;

// Whether the chosen entry matches a content type: "text/*", "image/*" and
// "application/*" as substrings anywhere, every other entry exactly; case matters.
bool ContentTypeMatches(std::u16string_view entry, std::u16string_view mimeType);

// Sets the record's match flags for the conditions in use; never clears them.
void ClassifyTransaction(const FilterSettings& settings, CHttpTransaction& record);
// Recomputes the flags of the conditions in use for every record.
void ReclassifyAll(const FilterSettings& settings, TransactionArray& records);
// Whether the record's flags pass the conditions in use; with none in use, nothing does.
bool PassesFilter(const FilterSettings& settings, const CHttpTransaction& record);

}  // namespace tracewell
