// The README's picture of the window: a realistic session loaded into the band, its
// second row chosen so the detail tabs show it, and the band's pixels saved as
// windows-window.png beside this program. It needs a real display, so it runs only
// when TRACEWELL_SCREENSHOT is set (tests/win/screenshot.sh runs it under Xvfb); with
// the null driver of the test command nothing is drawn.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "loaded_session.h"
#include "support/sample_session.h"
#include "window_picture.h"

namespace tracewell::win::test {
namespace {

constexpr int kWidth = 1100;
constexpr int kHeight = 720;

class ScreenshotTest : public LoadedSessionTest {
 protected:
  void SetUp() override {
    LoadedSessionTest::SetUp();
    if (std::getenv("TRACEWELL_SCREENSHOT") == nullptr) GTEST_SKIP() << "set TRACEWELL_SCREENSHOT to take the picture";
    RECT frame{0, 0, kWidth, kHeight};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    MoveWindow(m_bar.Handle(), 0, 0, frame.right - frame.left, frame.bottom - frame.top, TRUE);
    MoveWindow(BandWindow(), 0, 0, kWidth, kHeight, TRUE);
    ASSERT_EQ(S_OK, m_band->ShowDW(TRUE));
  }

  void ClickGridRow(int row) {
    RECT cell{};
    cell.left = LVIR_LABEL;
    SendMessageW(m_grid, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
    const LPARAM point = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    SendMessageW(m_grid, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageW(m_grid, WM_LBUTTONUP, 0, point);
  }

  // Lets the windows paint, for a bounded time.
  static void Paint() {
    for (int round = 0; round < 20; ++round) {
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 25, QS_ALLINPUT);
    }
  }
};

TEST_F(ScreenshotTest, SavesTheWindowWithARecordedSession) {
  TransactionArray session = testing::MakeHarSampleSession();
  // A cleared record would not be saved, so it would not come back as a row.
  std::erase_if(session, [](const std::unique_ptr<CHttpTransaction>& record) { return record->m_bCleared != 0; });
  for (std::uint32_t index = 0; index < 24; ++index) session.push_back(testing::MakeRealisticRecord(index));
  LoadRecords(session);
  ClickGridRow(1);
  SetForegroundWindow(m_bar.Handle());
  RedrawWindow(m_bar.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Paint();

  const CWindowPicture picture = TakeWindowPicture(BandWindow());
  ASSERT_EQ(kWidth, picture.width);
  ASSERT_EQ(kHeight, picture.height);
  std::set<std::uint32_t> colours(picture.pixels.begin(), picture.pixels.end());
  EXPECT_GT(colours.size(), 20u);
  // The rows' text: dark pixels inside the grid.
  RECT band{};
  RECT grid{};
  GetWindowRect(BandWindow(), &band);
  GetWindowRect(m_grid, &grid);
  int dark = 0;
  for (int y = grid.top - band.top; y < grid.bottom - band.top; ++y) {
    for (int x = grid.left - band.left; x < grid.right - band.left; ++x) dark += picture.Grey(x, y) < 80 ? 1 : 0;
  }
  EXPECT_GT(dark, 2000);
  EXPECT_EQ(S_OK, SavePicturePng(picture, ProgramFolder() + L"windows-window.png"));
}

}  // namespace
}  // namespace tracewell::win::test
