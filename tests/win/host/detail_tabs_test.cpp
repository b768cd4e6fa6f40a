// The detail tabs and the list commands, driven as a user's clicks and keys reach the
// lists: a recorded session's rows in each tab compared with the core's rows for the
// same records (read back from the session saved as a log file), the right-click
// menu's commands and Ctrl+A / Ctrl+C, and the clipboard's CF_TEXT bytes.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture_fixture.h"
#include "dialog_answer.h"
#include "loaded_session.h"
#include "loopback_origin.h"
#include "menu_answer.h"
#include "post_callback.h"
#include "session_io/file_io.h"
#include "session_io/log_file.h"
#include "text/code_page.h"
#include "views/detail_lists.h"
#include "views/list_copy.h"
#include "views/list_helper.h"
#include "views/main_window_model.h"

namespace tracewell::win::test {
namespace {

constexpr int kCopyCellPosition = 0;
constexpr int kCopyCurrentColumnPosition = 3;
constexpr int kInvertSelectionPosition = 6;

ListRows Wide(const TextRows& rows) {
  ListRows wide;
  for (const TextRow& row : rows) {
    std::vector<std::wstring>& cells = wide.emplace_back();
    for (const std::u16string& cell : row) cells.emplace_back(cell.begin(), cell.end());
  }
  return wide;
}

std::vector<bool> SelectedRows(HWND list) {
  std::vector<bool> selected;
  const auto count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) {
    selected.push_back(SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) != 0);
  }
  return selected;
}

void UnselectAll(HWND list) {
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
}

// A right click on a cell and the menu's item at `position` chosen; the menu's texts.
std::vector<std::wstring> ChooseFromMenu(HWND list, int row, int column, int position) {
  CMenuAnswer answer(position);
  // The list follows the mouse after the button goes down until it comes up again.
  PostMessageW(list, WM_RBUTTONUP, 0, CellPoint(list, row, column));
  SendMessageW(list, WM_RBUTTONDOWN, MK_RBUTTON, CellPoint(list, row, column));
  return answer.Texts();
}

void SetClipboardText(const std::string& text) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
  GlobalUnlock(block);
  SetClipboardData(CF_TEXT, block);
  CloseClipboard();
}

class DetailTabsTest : public CaptureTest {
 protected:
  void SetUp() override {
    CaptureTest::SetUp();
    // Tall enough for the grid to show its rows where clicks hit them.
    MoveWindow(BandWindow(), 0, 0, 800, 600, TRUE);
    m_pane = FindWindowExW(BandWindow(), nullptr, L"TracewellDetailPane", nullptr);
    ASSERT_NE(nullptr, m_pane);
    m_tabs = FindWindowExW(m_pane, nullptr, WC_TABCONTROLW, nullptr);
    ASSERT_NE(nullptr, m_tabs);
  }

  // The tab at `index` chosen, as a click on it does.
  void ShowTab(int index) {
    TabCtrl_SetCurSel(m_tabs, index);
    NMHDR change{m_tabs, 0, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(m_pane, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&change));
  }

  HWND List(const DetailList& layout) const { return GetDlgItem(m_pane, layout.id); }

  // A GET with a query and a POST whose body has a character beyond ASCII, recorded;
  // the session saved as `file` and read back with the core's reader.
  TransactionArray RecordAndSave(const std::wstring& file) {
    CLoopbackOrigin origin(2);
    Command(kCommandStart);
    HRESULT result = E_FAIL;
    EXPECT_EQ("<html>hello</html>", Fetch(origin.Url(L"/page.html?word=one&empty=&flag"), result));
    CPostCallback post("name=value&word=caf\xE9", PostMedium::kGlobalMemory);
    EXPECT_EQ("posted", Fetch(origin.Url(L"/form"), result, post.Callback()));
    EXPECT_EQ(2u, RowsOnceFinished(2).size());
    Command(kCommandStop);

    CDialogAnswer save(L"Save As", IDOK, file.substr(0, file.size() - 4));
    Command(kCommandSave);
    save.Texts();
    FileError error;
    const auto source = FileByteSource::Open(file, error);
    EXPECT_NE(nullptr, source) << error.message;
    if (source == nullptr) return {};
    LogLoadResult saved = ReadLogFile(*source);
    return std::move(saved.records);
  }

  // Clicks grid row `row` alone.
  void ClickGridRow(int row) {
    UnselectAll(m_grid);
    LeftClick(m_grid, row, 0);
  }

  // Every tab's rows; the cache snapshots only for a live record (a log file keeps
  // none, so the core's rows of a record read back have no cache rows).
  void ExpectTabsShow(const CDetailViews& details, bool liveRecord) {
    EXPECT_EQ(Wide(details.header.RequestRows()), ReadRows(List(kRequestHeaderList)));
    EXPECT_EQ(Wide(details.header.ResponseRows()), ReadRows(List(kResponseHeaderList)));
    EXPECT_EQ(Wide(details.cookies.RequestRows()), ReadRows(List(kRequestCookieList)));
    EXPECT_EQ(Wide(details.cookies.ResponseRows()), ReadRows(List(kResponseCookieList)));
    if (!liveRecord) {
      EXPECT_EQ(Wide(details.cacheInfo.Rows()), ReadRows(List(kCacheInfoList)));
    }
    EXPECT_EQ(Wide(details.query.Rows()), ReadRows(List(kQueryList)));
    EXPECT_EQ(Wide(details.postData.Rows()), ReadRows(List(kPostDataList)));
  }

  HWND m_pane = nullptr;
  HWND m_tabs = nullptr;
};

TEST_F(DetailTabsTest, TabsAndListsHaveTheLayoutsTitlesAndWidths) {
  std::vector<std::wstring> titles;
  for (int tab = 0; tab < static_cast<int>(SendMessageW(m_tabs, TCM_GETITEMCOUNT, 0, 0)); ++tab) {
    wchar_t text[64] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 64;
    SendMessageW(m_tabs, TCM_GETITEMW, static_cast<WPARAM>(tab), reinterpret_cast<LPARAM>(&item));
    titles.emplace_back(text);
  }
  EXPECT_EQ((std::vector<std::wstring>{L"Header", L"Cookies", L"Cache Info", L"Query String", L"Post Data",
                                       L"Content", L"Body"}),
            titles);
  EXPECT_EQ(0, SendMessageW(m_tabs, TCM_GETCURSEL, 0, 0));
  EXPECT_TRUE(IsWindowVisible(List(kRequestHeaderList)));
  EXPECT_FALSE(IsWindowVisible(List(kCacheInfoList)));

  for (const DetailList* layout : {&kRequestHeaderList, &kResponseHeaderList, &kRequestCookieList,
                                   &kResponseCookieList, &kCacheInfoList, &kQueryList, &kPostDataList}) {
    const HWND list = List(*layout);
    ASSERT_NE(nullptr, list) << layout->id;
    ASSERT_EQ(static_cast<int>(layout->columns.size()), ColumnCount(list)) << layout->id;
    for (std::size_t column = 0; column < layout->columns.size(); ++column) {
      wchar_t text[64] = {};
      LVCOLUMNW info{};
      info.mask = LVCF_TEXT;
      info.pszText = text;
      info.cchTextMax = 64;
      SendMessageW(list, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&info));
      EXPECT_EQ(std::wstring(layout->columns[column].title.begin(), layout->columns[column].title.end()), text);
    }
  }
  EXPECT_EQ(0x4C33, SendMessageW(List(kRequestHeaderList), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
  EXPECT_EQ(0x4421, SendMessageW(List(kResponseCookieList), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
  EXPECT_EQ(0x0C33, SendMessageW(List(kPostDataList), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
  EXPECT_EQ(0x4C33, SendMessageW(m_grid, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
  EXPECT_EQ(264, GetDlgCtrlID(m_grid));
  // Cache Info keeps its widths; the header lists' follow the left list's width.
  EXPECT_EQ(500, SendMessageW(List(kCacheInfoList), LVM_GETCOLUMNWIDTH, 2, 0));
  RECT window{};
  GetWindowRect(List(kRequestHeaderList), &window);
  const HeaderColumnWidths widths = HeaderColumnWidthsFor(window.right - window.left);
  EXPECT_EQ(widths.name, SendMessageW(List(kRequestHeaderList), LVM_GETCOLUMNWIDTH, 0, 0));
  EXPECT_EQ(widths.responseValue, SendMessageW(List(kResponseHeaderList), LVM_GETCOLUMNWIDTH, 1, 0));

  ShowTab(2);
  EXPECT_TRUE(IsWindowVisible(List(kCacheInfoList)));
  EXPECT_FALSE(IsWindowVisible(List(kRequestHeaderList)));
}

// "Content" shows the page inspector over the whole page area, the tree at a quarter
// of its width; Wine's browser has no HTML document, so the tree is empty and the
// emptied text box stands beside it. Another tab hides it again.
TEST_F(DetailTabsTest, ContentTabShowsTheInspectorOverThePage) {
  const HWND content = FindWindowExW(m_pane, nullptr, L"TracewellContentView", nullptr);
  ASSERT_NE(nullptr, content);
  EXPECT_FALSE(IsWindowVisible(content));
  ShowTab(5);
  EXPECT_TRUE(IsWindowVisible(content));
  EXPECT_FALSE(IsWindowVisible(List(kRequestHeaderList)));
  RECT page{};
  GetClientRect(m_pane, &page);
  SendMessageW(m_tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
  RECT placed{};
  GetWindowRect(content, &placed);
  MapWindowPoints(nullptr, m_pane, reinterpret_cast<POINT*>(&placed), 2);
  EXPECT_EQ(page.left, placed.left);
  EXPECT_EQ(page.top, placed.top);
  EXPECT_EQ(page.right, placed.right);
  EXPECT_EQ(page.bottom, placed.bottom);

  const HWND tree = GetDlgItem(content, 259);
  ASSERT_NE(nullptr, tree);
  RECT treeRect{};
  GetWindowRect(tree, &treeRect);
  EXPECT_EQ((page.right - page.left) / 4, treeRect.right - treeRect.left);
  EXPECT_EQ(0, SendMessageW(tree, TVM_GETCOUNT, 0, 0));
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(content, 260)));
  EXPECT_EQ(0, GetWindowTextLengthW(GetDlgItem(content, 260)));
  for (const int table : {265, 266, 267}) EXPECT_FALSE(IsWindowVisible(GetDlgItem(content, table))) << table;

  ShowTab(0);
  EXPECT_FALSE(IsWindowVisible(content));
  EXPECT_TRUE(IsWindowVisible(List(kRequestHeaderList)));
}

// The live session's rows, then the same session loaded from the log file it was
// saved as, whose records are the ones the core's rows are made from.
TEST_F(DetailTabsTest, ClickedRowShowsItsRecordInEveryTab) {
  const std::wstring file = NewTemporaryFile(L".elf");
  const TransactionArray records = RecordAndSave(file);
  ASSERT_EQ(2u, records.size());
  const CLocalClock clock;
  const auto expectRow = [&](int row, bool liveRecord) {
    ClickGridRow(row);
    CDetailViews details(clock);
    details.ShowTransaction(*records[static_cast<std::size_t>(row)]);
    ExpectTabsShow(details, liveRecord);
  };
  for (const int row : {1, 0}) expectRow(row, true);
  EXPECT_EQ((ListRows{{L"word", L"one"}, {L"empty", L""}}), ReadRows(List(kQueryList)));
  EXPECT_EQ(6u, ReadRows(List(kRequestHeaderList)).size());
  const auto cache = ReadRows(List(kCacheInfoList));
  ASSERT_EQ(13u, cache.size());
  EXPECT_EQ((std::vector<std::wstring>{L"SourceUrlName", L"", Rows()[0][8]}), cache[0]);

  CDialogAnswer load(L"Open", IDOK, file);
  Command(kCommandLoad);
  load.Texts();
  DeleteFileW(file.c_str());
  EXPECT_TRUE(ReadRows(List(kRequestHeaderList)).empty());
  for (const int row : {1, 0}) expectRow(row, false);
  // Down from the first row shows the second.
  SendMessageW(m_grid, WM_KEYDOWN, VK_DOWN, 1);
  EXPECT_EQ((ListRows{{L"name", L"value"}, {L"word", L"caf\u00E9"}}), ReadRows(List(kPostDataList)));

  Command(kCommandClear);
  EXPECT_TRUE(ReadRows(List(kPostDataList)).empty());
  EXPECT_TRUE(ReadRows(List(kRequestHeaderList)).empty());
}

// The menu's texts are the core's, in order; Copy Cell puts the bare cell there, in
// the thread's code page; Ctrl+A then Ctrl+C copies every row.
TEST_F(DetailTabsTest, MenuAndKeysCopyTheListsTextsInTheCodePage) {
  const std::wstring file = NewTemporaryFile(L".elf");
  const TransactionArray records = RecordAndSave(file);
  DeleteFileW(file.c_str());
  ASSERT_EQ(2u, records.size());
  ClickGridRow(1);
  ShowTab(4);
  const HWND postData = List(kPostDataList);
  SetClipboardText("before");

  const auto texts = ChooseFromMenu(postData, 1, 1, kCopyCellPosition);
  EXPECT_EQ((std::vector<std::wstring>{L"Copy Cell", L"Copy Selected Rows", L"Copy All Rows", L"Copy Current Column",
                                       L"-", L"Select All Rows", L"Invert Selection"}),
            texts);
  EXPECT_EQ("caf\xE9", ClipboardText());

  PressKey(postData, 'A', true);
  EXPECT_EQ((std::vector<bool>{true, true}), SelectedRows(postData));
  PressKey(postData, 'C', true);
  EXPECT_EQ("name  value  \r\nword  caf\xE9  \r\n", ClipboardText());

  // A alone selects nothing; C alone copies nothing.
  UnselectAll(postData);
  SetClipboardText("kept");
  SendMessageW(postData, WM_KEYDOWN, 'A', 1);
  SendMessageW(postData, WM_KEYDOWN, 'C', 1);
  EXPECT_EQ((std::vector<bool>{false, false}), SelectedRows(postData));
  EXPECT_EQ("kept", ClipboardText());
}

// On the grid: Copy Current Column gives every row's URL, Invert Selection flips the
// rows' selection, and Ctrl+C then copies the row that became selected, as the core
// writes it.
TEST_F(DetailTabsTest, GridCommandsCopyColumnsAndInvertTheSelection) {
  const std::wstring file = NewTemporaryFile(L".elf");
  ASSERT_EQ(2u, RecordAndSave(file).size());
  DeleteFileW(file.c_str());
  const auto rows = Rows();
  ClickGridRow(0);
  ChooseFromMenu(m_grid, 0, 8, kCopyCurrentColumnPosition);
  const std::string urls = ToCodePage(std::u16string(rows[0][8].begin(), rows[0][8].end())) + "\r\n" +
                           ToCodePage(std::u16string(rows[1][8].begin(), rows[1][8].end())) + "\r\n";
  EXPECT_EQ(urls, ClipboardText());

  ASSERT_EQ((std::vector<bool>{true, false}), SelectedRows(m_grid));
  ChooseFromMenu(m_grid, 0, 0, kInvertSelectionPosition);
  EXPECT_EQ((std::vector<bool>{false, true}), SelectedRows(m_grid));
  PressKey(m_grid, 'C', true);
  std::string second;
  for (const std::wstring& cell : rows[1]) second += ToCodePage(std::u16string(cell.begin(), cell.end())) + "  ";
  EXPECT_EQ(second + "\r\n", ClipboardText());
}

}  // namespace
}  // namespace tracewell::win::test
