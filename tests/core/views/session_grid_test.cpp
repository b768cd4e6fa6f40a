#include "views/session_grid.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fake_clipboard.h"
#include "support/ordinal_collator.h"
#include "views/list_helper.h"

namespace tracewell {
namespace {

struct Grid {
  testing::OrdinalCollator collator;
  CSessionGridModel model{collator};
  TransactionArray session;

  CHttpTransaction& Add(std::u16string url, std::int32_t size = 0) {
    auto record = std::make_unique<CHttpTransaction>();
    record->m_strUrl = std::move(url);
    record->m_nSize = size;
    record->m_stStarted = {2026, 12, 1, 7, 9, 5, 3, 7};
    session.push_back(std::move(record));
    model.AddTransactionRow(*session.back());
    return *session.back();
  }
  std::u16string Cell(std::size_t row, std::size_t column) const {
    return model.Row(row)[column];
  }
};

TEST(SessionGrid, RowsAreNumberedByTheRowsBeforeThem) {
  Grid g;
  g.Add(u"http://h/a");
  g.Add(u"http://h/b");
  EXPECT_EQ(g.Cell(0, 0), u"0");
  EXPECT_EQ(g.Cell(1, 0), u"1");
  g.model.DeleteAllRows();
  g.model.AddTransactionRow(*g.session[1]);
  EXPECT_EQ(g.Cell(0, 0), u"0");
  EXPECT_EQ(g.Cell(0, 8), u"http://h/b");
}

TEST(SessionGrid, HiddenGridGetsNoRowsAndNoUpdates) {
  Grid g;
  CHttpTransaction& shown = g.Add(u"http://h/a");
  g.model.SetVisible(false);
  g.Add(u"http://h/b");
  EXPECT_EQ(g.model.RowCount(), 1u);
  EXPECT_FALSE(g.model.HasRow(*g.session[1]));
  EXPECT_TRUE(g.model.HasRow(shown));
}

TEST(SessionGrid, UpdatesRewriteTheMaskedCells) {
  Grid g;
  CHttpTransaction& running = g.Add(u"http://h/a");
  EXPECT_EQ(g.Cell(0, 2), u"0.000");
  running.m_stEnded = {2026, 12, 1, 7, 9, 5, 4, 257};
  running.m_nSize = 4096;
  running.m_strResult = u"200";
  running.m_strMethod = u"GET";
  g.model.UpdateTransactionRow(running, 0x400 | 0x40 | 0x4);
  EXPECT_EQ(g.Cell(0, 2), u"1.250");
  EXPECT_EQ(g.Cell(0, 6), u"4096");
  EXPECT_EQ(g.Cell(0, 5), u"");  // bit 0x20 not set
  g.model.UpdateTransactionRow(running, 0x1 | 0x2);  // these bits write nothing
  EXPECT_EQ(g.Cell(0, 0), u"0");
  EXPECT_EQ(g.Cell(0, 1), u"9:5:3 7");

  // A clock that went back: empty when added, negative once updated.
  auto late = std::make_unique<CHttpTransaction>();
  late->m_stStarted = {2026, 12, 1, 7, 10, 0, 0, 0};
  late->m_stEnded = {2026, 12, 1, 7, 9, 59, 59, 0};
  g.model.AddTransactionRow(*late);
  EXPECT_EQ(g.Cell(1, 2), u"");
  g.model.UpdateTransactionRow(*late, 0x4);
  EXPECT_EQ(g.Cell(1, 2), u"-1.000");
}

TEST(SessionGrid, SortsAsTextOnTheFirst31CodeUnits) {
  Grid g;
  g.Add(u"http://h/200", 200);
  g.Add(u"http://h/1000", 1000);
  g.Add(u"http://h/30", 30);
  g.model.SortByColumn(6);  // "Size", as text
  EXPECT_EQ(g.Cell(0, 6), u"1000");
  EXPECT_EQ(g.Cell(1, 6), u"200");
  EXPECT_EQ(g.Cell(2, 6), u"30");
  g.model.SortByColumn(6);  // the same header again: descending
  EXPECT_TRUE(g.model.SortDescending());
  EXPECT_EQ(g.Cell(0, 6), u"30");
  EXPECT_EQ(g.Cell(0, 0), u"2");  // rows keep their numbers

  // Updates find their row after the sort.
  g.session[1]->m_strResult = u"404";
  g.model.UpdateTransactionRow(*g.session[1], 0x20);
  EXPECT_EQ(g.Cell(2, 5), u"404");

  // Rows added later are appended, not sorted in.
  g.Add(u"http://h/9", 9);
  EXPECT_EQ(g.Cell(3, 6), u"9");

  // Every row of a record is updated, wherever the sort put them.
  g.model.AddTransactionRow(*g.session[1]);
  g.model.SortByColumn(8);
  g.session[1]->m_strMethod = u"PUT";
  g.model.UpdateTransactionRow(*g.session[1], 0x10);
  EXPECT_EQ(g.Cell(0, 4), u"PUT");
  EXPECT_EQ(g.Cell(1, 4), u"PUT");
  EXPECT_EQ(g.Cell(2, 4), u"");

  // URLs equal in their first 31 code units keep their order, whichever direction.
  Grid ties;
  const std::u16string prefix = u"http://example.test/aaaaaaaaaaa";  // 31 units
  ASSERT_EQ(prefix.size(), kSortPrefixLength);
  ties.Add(prefix + u"z");
  ties.Add(prefix + u"a");
  ties.model.SortByColumn(8);
  EXPECT_EQ(ties.Cell(0, 8), prefix + u"z");
  ties.model.SortByColumn(8);
  EXPECT_EQ(ties.Cell(0, 8), prefix + u"z");
}

TEST(SessionGrid, TheSortOrderHoldsUntilARowStandsOutOfIt) {
  Grid g;
  EXPECT_FALSE(g.model.InSortOrder());  // arrival order until a sort
  g.Add(u"http://h/b", 20);
  g.Add(u"http://h/d", 40);
  g.model.SortByColumn(8);
  EXPECT_TRUE(g.model.InSortOrder());

  // Appended rows that belong at the end, or tie with it, keep the order.
  g.Add(u"http://h/e", 50);
  g.Add(u"http://h/e", 51);
  EXPECT_TRUE(g.model.InSortOrder());
  g.Add(u"http://h/a", 10);  // belongs at the top
  EXPECT_FALSE(g.model.InSortOrder());
  g.Add(u"http://h/z", 90);  // in order with its neighbour, but the grid is not
  EXPECT_FALSE(g.model.InSortOrder());

  // Descending: an appended row must not sort above the one before it.
  g.model.SortByColumn(8);
  ASSERT_TRUE(g.model.SortDescending());
  EXPECT_TRUE(g.model.InSortOrder());
  g.Add(u"http://h/0", 1);
  EXPECT_TRUE(g.model.InSortOrder());
  g.Add(u"http://h/c", 30);
  EXPECT_FALSE(g.model.InSortOrder());

  // Rewritten cells: only the sort column counts, and only out of order.
  g.model.SortByColumn(5);  // "Result", all empty
  ASSERT_FALSE(g.model.SortDescending());
  g.session[0]->m_nSize = 7;
  g.model.UpdateTransactionRow(*g.session[0], 0x40);  // "Size"
  EXPECT_TRUE(g.model.InSortOrder());
  CHttpTransaction& last = *g.session.back();  // the last row after a stable sort
  last.m_strResult = u"200";
  g.model.UpdateTransactionRow(last, 0x20);
  EXPECT_TRUE(g.model.InSortOrder());  // "" before "200"
  g.session[0]->m_strResult = u"304";  // the first row now sorts after the empty ones
  g.model.UpdateTransactionRow(*g.session[0], 0x20);
  EXPECT_FALSE(g.model.InSortOrder());

  // A rebuild brings the rows back in arrival order.
  g.model.SortByColumn(8);
  g.model.DeleteAllRows();
  g.model.AddTransactionRow(*g.session[0]);
  EXPECT_FALSE(g.model.InSortOrder());
}

TEST(SessionGrid, CopyTextsAndTheClipboardRule) {
  Grid g;
  g.Add(u"http://h/a", 1);
  g.Add(u"http://h/b\u20AC", 2);
  EXPECT_EQ(CopyAllRowsText(g.model),
            u"0  9:5:3 7  0.000  0      1    http://h/a    \r\n"
            u"1  9:5:3 7  0.000  0      2    http://h/b\u20AC    \r\n");
  EXPECT_EQ(CopyCellText(g.model, 1, 8), u"http://h/b\u20AC");
  EXPECT_EQ(CopyCellText(g.model, 2, 8), u"");
  EXPECT_EQ(CopyCellText(g.model, -1, 8), u"");
  EXPECT_EQ(CopyCellText(g.model, 0, 10), u"");
  EXPECT_EQ(CopyColumnText(g.model, 6), u"1\r\n2\r\n");
  EXPECT_EQ(CopyColumnText(g.model, -1), u"");
  EXPECT_EQ(CopySelectedRowsText(g.model), u"");

  g.model.SetSelected(1, true);
  EXPECT_EQ(CopySelectedRowsText(g.model), u"1  9:5:3 7  0.000  0      2    http://h/b\u20AC    \r\n");
  testing::FakeClipboard clipboard;
  CopyTextToClipboard(clipboard, CopyCellText(g.model, 1, 8));
  EXPECT_EQ(clipboard.text, "http://h/b\x80");
  CopyTextToClipboard(clipboard, CopyCellText(g.model, 0, 4));  // an empty cell
  EXPECT_EQ(clipboard.text, "http://h/b\x80");
}

TEST(SessionGrid, SelectionCommands) {
  Grid g;
  for (const auto* url : {u"a", u"b", u"c"}) g.Add(url);
  EXPECT_FALSE(g.model.LastSelectedRow().has_value());
  g.model.SetSelected(0, true);
  g.model.InvertSelection();
  EXPECT_FALSE(g.model.IsSelected(0));
  EXPECT_EQ(g.model.LastSelectedRow(), 2u);
  g.model.SelectAllRows();
  EXPECT_TRUE(g.model.IsSelected(0) && g.model.IsSelected(1) && g.model.IsSelected(2));
}

// What a view over the grid is told, as text: "+row", "~row:first-last", "reset",
// "sorting", "sort:old,old,...".
class RecordingListener final : public IGridRowsListener {
 public:
  std::vector<std::string> events;
  void OnRowAppended(std::size_t row) override { events.push_back("+" + std::to_string(row)); }
  void OnCellsChanged(std::size_t row, std::size_t first, std::size_t last) override {
    events.push_back("~" + std::to_string(row) + ":" + std::to_string(first) + "-" +
                     std::to_string(last));
  }
  void OnAllRowsDeleted() override { events.push_back("reset"); }
  void OnRowsSorting() override { events.push_back("sorting"); }
  void OnRowsSorted(std::span<const std::size_t> oldPositions) override {
    std::string text = "sort:";
    for (const std::size_t old : oldPositions) text += std::to_string(old) + ",";
    events.push_back(text);
  }
};

TEST(SessionGrid, ListenerHearsEveryRowChangeWithItsPositions) {
  Grid g;
  RecordingListener listener;
  g.model.SetListener(&listener);
  g.Add(u"http://h/b", 20);
  g.Add(u"http://h/a", 10);
  g.model.UpdateTransactionRow(*g.session[0], 0x400 | 0x40 | 0x20);  // Result and Size
  g.model.UpdateTransactionRow(*g.session[0], 0x400 | 0x1 | 0x2);    // no cell
  g.model.SortByColumn(8);
  // After the sort the first record's row stands at 1.
  g.model.UpdateTransactionRow(*g.session[0], 0x4 | 0x200);
  g.model.SetVisible(false);
  g.Add(u"http://h/hidden");
  g.model.DeleteAllRows();
  EXPECT_EQ(listener.events, (std::vector<std::string>{"+0", "+1", "~0:5-6", "sorting", "sort:1,0,",
                                                       "~1:2-9", "reset"}));

  // Every row of a record is reported; no listener, no calls.
  g.model.SetVisible(true);
  listener.events.clear();
  g.model.AddTransactionRow(*g.session[1]);
  g.model.AddTransactionRow(*g.session[1]);
  g.model.UpdateTransactionRow(*g.session[1], 0x100);
  g.model.SetListener(nullptr);
  g.model.SortByColumn(0);
  EXPECT_EQ(listener.events, (std::vector<std::string>{"+0", "+1", "~0:8-8", "~1:8-8"}));
}

TEST(ListHelper, RightClickKeysAndCommandsOnlyForItsLists) {
  Grid g;
  g.Add(u"http://h/a", 1);
  g.Add(u"http://h/b", 2);
  CListCtrlHelper helper;
  testing::FakeClipboard clipboard;
  EXPECT_FALSE(helper.OnRightClick(261, 1, 8, 1, 2));  // outside 262..271: not ours
  EXPECT_EQ(helper.HitRow(), 0);
  EXPECT_TRUE(helper.OnRightClick(kGridListId, 1, 8, 1, 2));
  EXPECT_TRUE(helper.OnCommand(command::kCopyCell, &g.model, clipboard));
  EXPECT_EQ(clipboard.text, "http://h/b");
  EXPECT_TRUE(helper.OnCommand(command::kCopyCurrentColumn, &g.model, clipboard));
  EXPECT_EQ(clipboard.text, "http://h/a\r\nhttp://h/b\r\n");
  // Below the last row: the hit is kept, but no menu.
  EXPECT_FALSE(helper.OnRightClick(kGridListId, -1, 8, -1, 2));
  EXPECT_EQ(helper.HitRow(), -1);
  helper.OnCommand(command::kCopyCell, &g.model, clipboard);  // stale row: nothing
  EXPECT_EQ(clipboard.text, "http://h/a\r\nhttp://h/b\r\n");
  // A view with two lists and neither focused names no list.
  EXPECT_TRUE(helper.OnCommand(command::kSelectAllRows, nullptr, clipboard));
  EXPECT_FALSE(helper.OnCommand(command::kClear, &g.model, clipboard));

  EXPECT_EQ(CListCtrlHelper::CommandForKey(kGridListId, 'A', false), std::nullopt);
  EXPECT_EQ(CListCtrlHelper::CommandForKey(272, 'A', true), std::nullopt);
  const auto selectAll = CListCtrlHelper::CommandForKey(kGridListId, 'A', true);
  ASSERT_EQ(selectAll, command::kSelectAllRows);
  helper.OnCommand(*selectAll, &g.model, clipboard);
  EXPECT_EQ(CopySelectedRowsText(g.model).size(), CopyAllRowsText(g.model).size());
  EXPECT_EQ(CListCtrlHelper::CommandForKey(271, 'C', true), command::kCopySelectedRows);
}

}  // namespace
}  // namespace tracewell
