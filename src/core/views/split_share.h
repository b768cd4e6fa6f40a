#pragma once
// The split between the grid (top) and the detail tabs (bottom): the top pane's share
// of the usable height in ten-thousandths, 35 % at first; once dragged, the share
// holds when the window is resized.

namespace tracewell {

inline constexpr int kWholeSplitShare = 10000;
inline constexpr int kInitialTopSplitShare = 3500;

}  // namespace tracewell
