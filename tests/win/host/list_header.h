#pragma once
// A report list's header as the tests reach it: where a column's header is, and the
// sort arrow each header shows.

#include <windows.h>

#include <commctrl.h>

#include <vector>

namespace tracewell::win::test {

inline HWND HeaderOf(HWND list) { return reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)); }

// The middle of the column's header, in the header's client coordinates.
inline LPARAM ItemPoint(HWND header, int column) {
  RECT item{};
  SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
  return MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
}

enum class Arrow { kNone, kUp, kDown };

// The sort arrow of every header, left to right.
inline std::vector<Arrow> Arrows(HWND list) {
  const HWND header = HeaderOf(list);
  std::vector<Arrow> arrows;
  const auto count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
  for (int column = 0; column < count; ++column) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
    const Arrow arrow = (item.fmt & HDF_SORTUP) != 0     ? Arrow::kUp
                        : (item.fmt & HDF_SORTDOWN) != 0 ? Arrow::kDown
                                                         : Arrow::kNone;
    arrows.push_back(arrow);
  }
  return arrows;
}

}  // namespace tracewell::win::test
