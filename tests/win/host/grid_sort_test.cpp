// Sorting the grid by a click on a column's header, as the mouse reaches the header:
// the rows read back in the order of their texts (numbers too sort as text), the
// direction flipping on a second click, the arrow on the sort column's header only,
// the selection staying with its record, and a clicked row showing the record that
// stands there now.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "list_header.h"
#include "loaded_session.h"
#include "views/detail_lists.h"

namespace tracewell::win::test {
namespace {

constexpr int kSizeColumn = 6;
constexpr int kUrlColumn = 8;

void ClickHeader(HWND list, int column) {
  const HWND header = HeaderOf(list);
  SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, ItemPoint(header, column));
  SendMessageW(header, WM_LBUTTONUP, 0, ItemPoint(header, column));
}

std::vector<Arrow> ArrowOn(int column, Arrow arrow) {
  std::vector<Arrow> arrows(kGridColumnCount, Arrow::kNone);
  arrows.at(static_cast<std::size_t>(column)) = arrow;
  return arrows;
}

class GridSortTest : public LoadedSessionTest {};

TEST_F(GridSortTest, HeaderClicksSortAsTextAndFlipTheDirection) {
  LoadSession({{u"http://127.0.0.1/b", u"200", 1000, u"text/html"},
               {u"http://127.0.0.1/c", u"200", 30, u"text/css"},
               {u"http://127.0.0.1/a", u"404", 200, u"text/html"}});
  EXPECT_EQ(std::vector<Arrow>(kGridColumnCount, Arrow::kNone), Arrows(m_grid));

  ClickHeader(m_grid, kSizeColumn);
  EXPECT_EQ((std::vector<std::wstring>{L"1000", L"200", L"30"}), Column(kSizeColumn));
  // A row keeps every cell it had, its number too.
  EXPECT_EQ((std::vector<std::wstring>{L"0", L"2", L"1"}), Column(0));
  EXPECT_EQ(ArrowOn(kSizeColumn, Arrow::kUp), Arrows(m_grid));

  ClickHeader(m_grid, kSizeColumn);
  EXPECT_EQ((std::vector<std::wstring>{L"30", L"200", L"1000"}), Column(kSizeColumn));
  EXPECT_EQ(ArrowOn(kSizeColumn, Arrow::kDown), Arrows(m_grid));

  // Another column starts ascending again.
  ClickHeader(m_grid, kUrlColumn);
  EXPECT_EQ((std::vector<std::wstring>{L"http://127.0.0.1/a", L"http://127.0.0.1/b", L"http://127.0.0.1/c"}),
            Column(kUrlColumn));
  EXPECT_EQ(ArrowOn(kUrlColumn, Arrow::kUp), Arrows(m_grid));
}

// The selected record is still the selected one wherever its row went, and a click on
// a row after the sort shows that row's record, not the one that stood there before.
TEST_F(GridSortTest, SelectionAndClickedRowFollowTheSortedRecords) {
  LoadSession({{u"http://127.0.0.1/b?second=2", u"200", 1000, u"text/html"},
               {u"http://127.0.0.1/a?first=1", u"200", 30, u"text/css"}});
  ListView_SetItemState(m_grid, 1, LVIS_SELECTED, LVIS_SELECTED);
  ClickHeader(m_grid, kUrlColumn);
  EXPECT_EQ(L"http://127.0.0.1/a?first=1", Rows()[0][kUrlColumn]);
  EXPECT_EQ(LVIS_SELECTED, ListView_GetItemState(m_grid, 0, LVIS_SELECTED));
  EXPECT_EQ(0u, ListView_GetItemState(m_grid, 1, LVIS_SELECTED));

  const HWND pane = FindWindowExW(BandWindow(), nullptr, L"TracewellDetailPane", nullptr);
  ASSERT_NE(nullptr, pane);
  NMITEMACTIVATE click{};
  click.hdr = {m_grid, static_cast<UINT_PTR>(GetDlgCtrlID(m_grid)), static_cast<UINT>(NM_CLICK)};
  click.iItem = 1;
  SendMessageW(BandWindow(), WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
  const HWND query = GetDlgItem(pane, kQueryList.id);
  ASSERT_NE(nullptr, query);
  EXPECT_EQ(L"second", CellText(query, 0, 0));
}

// Loading a file again puts the rows back in the order of the session: no arrow.
TEST_F(GridSortTest, LoadedRowsStandInSessionOrderWithoutAnArrow) {
  LoadSession({{u"http://127.0.0.1/b", u"200", 1, u"text/html"}, {u"http://127.0.0.1/a", u"200", 2, u"text/html"}});
  ClickHeader(m_grid, kUrlColumn);
  ASSERT_EQ(ArrowOn(kUrlColumn, Arrow::kUp), Arrows(m_grid));
  LoadSession({{u"http://127.0.0.1/d", u"200", 1, u"text/html"}, {u"http://127.0.0.1/c", u"200", 2, u"text/html"}});
  EXPECT_EQ((std::vector<std::wstring>{L"http://127.0.0.1/d", L"http://127.0.0.1/c"}), Column(kUrlColumn));
  EXPECT_EQ(std::vector<Arrow>(kGridColumnCount, Arrow::kNone), Arrows(m_grid));
}

}  // namespace
}  // namespace tracewell::win::test
