// The split between the grid and the detail pane as the mouse drags its bar: 35 % of
// the usable height for the grid at first, the bar's new place after a drag, the
// share kept when the window is resized, and a view mode's single pane followed by
// the same split again; the detail pane reaches the window's bottom edge.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "loaded_session.h"
#include "main_splitter.h"
#include "views/main_commands.h"

namespace tracewell::win::test {
namespace {

// A pixel's worth of share at the heights used here.
constexpr int kPixelOfShare = 25;

class SplitterTest : public LoadedSessionTest {
 protected:
  RECT ClientRectOf(HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, BandWindow(), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }

  RECT GridRect() { return ClientRectOf(m_grid); }
  RECT PaneRect() { return ClientRectOf(FindWindowExW(BandWindow(), nullptr, L"TracewellDetailPane", nullptr)); }

  // The grid's share of the height that grid and bottom pane share, in ten-thousandths.
  int GridShare() {
    RECT band{};
    GetClientRect(BandWindow(), &band);
    const RECT grid = GridRect();
    const LONG usable = band.bottom - grid.top - CMainSplitter::kBarHeight;
    return static_cast<int>((grid.bottom - grid.top) * 10000 / usable);
  }

  // The bar dragged from its middle down by `distance` pixels.
  void DragBar(int distance) {
    const int x = 300;
    const int y = GridRect().bottom + CMainSplitter::kBarHeight / 2;
    SendMessageW(BandWindow(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(BandWindow(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y + distance));
    SendMessageW(BandWindow(), WM_LBUTTONUP, 0, MAKELPARAM(x, y + distance));
  }
};

TEST_F(SplitterTest, BarDragsAndTheShareHoldsOnResize) {
  EXPECT_NEAR(3500, GridShare(), kPixelOfShare);
  EXPECT_EQ(GridRect().bottom + CMainSplitter::kBarHeight, PaneRect().top);
  RECT band{};
  GetClientRect(BandWindow(), &band);
  EXPECT_EQ(band.bottom, PaneRect().bottom);

  const LONG gridBottom = GridRect().bottom;
  DragBar(100);
  EXPECT_NEAR(gridBottom + 100, GridRect().bottom, 1);
  EXPECT_EQ(GridRect().bottom + CMainSplitter::kBarHeight, PaneRect().top);
  const int dragged = GridShare();

  MoveWindow(BandWindow(), 0, 0, 1400, 900, TRUE);
  EXPECT_NEAR(dragged, GridShare(), kPixelOfShare);

  // A press outside the bar moves nothing.
  const RECT before = GridRect();
  SendMessageW(BandWindow(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, PaneRect().top + 40));
  SendMessageW(BandWindow(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(300, PaneRect().top + 90));
  SendMessageW(BandWindow(), WM_LBUTTONUP, 0, MAKELPARAM(300, PaneRect().top + 90));
  EXPECT_EQ(before.bottom, GridRect().bottom);

  // The grid alone fills the area, then the split comes back as it was.
  Command(static_cast<WORD>(command::kMaximizeGrid));
  GetClientRect(BandWindow(), &band);
  EXPECT_EQ(band.bottom, GridRect().bottom);
  Command(static_cast<WORD>(command::kRestoreWindows));
  EXPECT_NEAR(dragged, GridShare(), kPixelOfShare);
}

// The detail pane alone fills the area under the toolbar, to the bottom edge, where
// the grid stood.
TEST_F(SplitterTest, ViewOnlyGivesTheDetailPaneTheWholeArea) {
  const LONG gridTop = GridRect().top;
  Command(static_cast<WORD>(command::kMaximizeView));
  RECT band{};
  GetClientRect(BandWindow(), &band);
  EXPECT_FALSE(IsWindowVisible(m_grid));
  EXPECT_EQ(gridTop, PaneRect().top);
  EXPECT_EQ(band.bottom, PaneRect().bottom);
  EXPECT_EQ(band.right, PaneRect().right);
}

}  // namespace
}  // namespace tracewell::win::test
