#pragma once
// How a list sorts its rows on a header click: by the text of the column's cells,
// the leading code units only, in the collator's order, stable.

#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

#include "views/collator.h"

namespace tracewell {

// Only this many leading code units of a cell take part in sorting.
inline constexpr std::size_t kSortPrefixLength = 31;

// The part of a cell that takes part in sorting.
inline std::u16string_view SortPrefix(std::u16string_view cell) { return cell.substr(0, kSortPrefixLength); }

// The positions of `keys` in sorted order; equal keys keep their order.
std::vector<std::size_t> SortedOrder(std::span<const std::u16string_view> keys, const ICollator& collator,
                                     bool descending);

}  // namespace tracewell
