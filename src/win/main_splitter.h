#pragma once
// The split between the grid (top pane) and the detail pane (bottom) in the main
// window: a bar the mouse drags, the top pane's share of the usable height kept in
// ten-thousandths so that the split stays proportional when the window is resized,
// and the view modes' single panes.

#include <windows.h>

#include "views/main_window_model.h"
#include "views/split_share.h"

namespace tracewell::win {

struct SplitPanes {
  RECT top;     // empty when the top pane is not shown
  RECT bottom;  // empty when the bottom pane is not shown
  RECT bar;     // empty unless both are shown
};

class CMainSplitter {
 public:
  static constexpr int kBarHeight = 4;

  // Where the panes go in `area` under `mode`.
  SplitPanes Split(const RECT& area, ViewMode mode) const;
  int TopShare() const { return m_topShare; }

  // The mouse on the bar of `panes`: a press takes the mouse, moves drag the bar, the
  // release lets the mouse go; over the bar the cursor says it moves up and down.
  // True when the message was the splitter's; `moved` tells when the panes changed.
  bool OnMouse(HWND window, UINT message, LPARAM lParam, const SplitPanes& panes, bool& moved);

 private:
  int m_topShare = kInitialTopSplitShare;
  bool m_dragging = false;
  RECT m_area{};  // the area the drag divides
};

}  // namespace tracewell::win
