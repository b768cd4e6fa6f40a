#pragma once
// The sort arrow in a report list's header: on the sort column, pointing up for an
// ascending sort and down for a descending one, and on no other column.

#include <windows.h>

#include <cstddef>
#include <optional>

namespace tracewell::win {

struct ShownSort {
  std::size_t column = 0;
  bool descending = false;
  bool operator==(const ShownSort&) const = default;
};

// Shows `sort` (none: no arrow) on the header of `list`.
void ShowSortArrow(HWND list, std::optional<ShownSort> sort);

}  // namespace tracewell::win
