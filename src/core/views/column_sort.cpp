#include "views/column_sort.h"

#include <algorithm>
#include <numeric>

namespace tracewell {

std::vector<std::size_t> SortedOrder(std::span<const std::u16string_view> keys, const ICollator& collator,
                                     bool descending) {
  std::vector<std::size_t> order(keys.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::ranges::stable_sort(order, [&](std::size_t a, std::size_t b) {
    const int compared = collator.Compare(keys[a], keys[b]);
    return descending ? compared > 0 : compared < 0;
  });
  return order;
}

}  // namespace tracewell
