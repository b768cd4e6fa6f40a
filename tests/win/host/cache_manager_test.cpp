// The cookie and cache manager over the WinINet cache of the test prefix, opened by
// the Tools command and driven as a user drives it: the hosts with their file
// counts, a host's files in the list, a host's files and the cookies cleared from
// the cache, the messages of the buttons with nothing to act on, and the two Clear
// All commands' questions.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "band_fixture.h"
#include "cache_manager_dialog.h"
#include "capture_fixture.h"
#include "dialog_answer.h"
#include "dialog_driver.h"
#include "url_cache.h"
#include "views/main_commands.h"

namespace tracewell::win::test {
namespace {

namespace id = cache_manager_id;

using Row = std::vector<std::wstring>;

constexpr wchar_t kTitle[] = L"Clear Cache and Cookie";

int RowCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

std::vector<Row> ListRows(HWND list, int columns) {
  std::vector<Row> rows;
  for (int row = 0; row < RowCount(list); ++row) {
    Row cells;
    for (int column = 0; column < columns; ++column) cells.push_back(CellText(list, row, column));
    rows.push_back(cells);
  }
  return rows;
}

std::optional<int> FindRow(HWND list, const std::wstring& first) {
  for (int row = 0; row < RowCount(list); ++row) {
    if (CellText(list, row, 0) == first) return row;
  }
  return std::nullopt;
}

struct ColumnSeen {
  std::wstring title;
  int width;
  friend bool operator==(const ColumnSeen&, const ColumnSeen&) = default;
};

std::vector<ColumnSeen> Columns(HWND list) {
  std::vector<ColumnSeen> columns;
  const auto header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  const auto count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
  for (int index = 0; index < count; ++index) {
    wchar_t title[64] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = title;
    column.cchTextMax = 64;
    SendMessageW(list, LVM_GETCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
    columns.push_back({title, static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, index, 0))});
  }
  return columns;
}

std::wstring ControlText(HWND dialog, int control) {
  wchar_t text[256] = {};
  GetDlgItemTextW(dialog, control, text, 256);
  return text;
}

// A click on a row's first cell as the mouse gives it: the list handles it on the
// dialog's thread once the steps' thread has posted it.
void ClickRow(HWND list, int row) {
  RECT cell{};
  cell.left = LVIR_LABEL;
  SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
  const LPARAM point = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
  PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
  PostMessageW(list, WM_LBUTTONUP, 0, point);
}

// Clicks the host's row and waits until its files are listed.
bool ShowHost(HWND dialog, const std::wstring& host, int files) {
  const HWND hostList = GetDlgItem(dialog, id::kHostList);
  const auto row = FindRow(hostList, host);
  if (!row) return false;
  ClickRow(hostList, *row);
  return WaitUntil([&] {
    return RowCount(GetDlgItem(dialog, id::kFileList)) == files && ControlText(dialog, id::kFileCount) ==
                                                                          std::to_wstring(files);
  });
}

class CacheManagerTest : public SitedBandTest {
 protected:
  void TearDown() override {
    for (const std::wstring& url : m_added) DeleteUrlCacheEntryW(url.c_str());
    SitedBandTest::TearDown();
  }

  std::wstring Put(const std::wstring& url, std::string_view bytes, const std::wstring& extension) {
    m_added.push_back(url);
    const std::wstring path = PutInUrlCache(url, bytes, extension);
    EXPECT_FALSE(path.empty()) << "the cache refused " << std::string(url.begin(), url.end());
    return path;
  }

  // Opens the manager from the Tools command with `steps` driving it, then closes it.
  void RunManager(const std::function<void(HWND)>& steps) {
    CDialogDriver driver(kTitle, [&](HWND dialog) {
      steps(dialog);
      PostClick(dialog, id::kExit);
    });
    Command(static_cast<WORD>(command::kCookieCacheManager));
    ASSERT_TRUE(driver.Wait()) << "no manager dialog";
  }

  std::vector<std::wstring> m_added;
};

std::vector<std::wstring> CookieNamesFor(const std::wstring& host) {
  std::vector<std::wstring> names;
  for (const std::wstring& name : UrlCacheNames(L"Cookie:")) {
    if (name.find(host) != std::wstring::npos) names.push_back(name);
  }
  return names;
}

TEST_F(CacheManagerTest, ListsHostsAndFilesAndClearsAHostFromTheCache) {
  const std::wstring page = Put(L"http://one.cache.test/a/page.htm", "<p>one</p>", L"htm");
  const std::wstring logo = Put(L"http://ONE.cache.test/b/logo.gif", "GIF89a", L"gif");
  const std::wstring script = Put(L"http://one.cache.test/c/third.js", "var x;", L"js");
  Put(L"http://two.cache.test/style.css", "p{}", L"css");
  Put(L"https://secure.cache.test/hidden.htm", "<p>s</p>", L"htm");

  std::wstring title, hostCount, hostCountAfterClear;
  std::vector<std::wstring> texts;
  std::vector<ColumnSeen> hostColumns, fileColumns;
  std::vector<Row> hosts, files, hostsAfterClear;
  bool previewHidden = false, shown = false, filesEmptied = false;
  MessageBoxSeen nothingSelected;
  RunManager([&](HWND dialog) {
    wchar_t caption[64] = {};
    GetWindowTextW(dialog, caption, 64);
    title = caption;
    for (const int control : {id::kClearCache, id::kClearCookie, id::kSaveAs, id::kExit}) {
      texts.push_back(ControlText(dialog, control));
    }
    previewHidden = !IsWindowVisible(GetDlgItem(dialog, id::kPreviewText)) &&
                    !IsWindowVisible(GetDlgItem(dialog, id::kPreviewFrame));
    const HWND hostList = GetDlgItem(dialog, id::kHostList);
    hostColumns = Columns(hostList);
    fileColumns = Columns(GetDlgItem(dialog, id::kFileList));
    hosts = ListRows(hostList, 2);
    hostCount = ControlText(dialog, id::kHostCount);
    shown = ShowHost(dialog, L"one.cache.test", 3);
    files = ListRows(GetDlgItem(dialog, id::kFileList), 4);
    ClickButton(dialog, id::kClearCache);
    hostsAfterClear = ListRows(hostList, 2);
    filesEmptied = RowCount(GetDlgItem(dialog, id::kFileList)) == 0;
    hostCountAfterClear = ControlText(dialog, id::kHostCount);
    // The cleared host's row went with its selection: nothing is chosen now.
    PostClick(dialog, id::kClearCache);
    nothingSelected = AnswerMessageBox(dialog);
  });

  EXPECT_EQ(kTitle, title);
  EXPECT_EQ((std::vector<std::wstring>{L"Clear Cache", L"Clear Cookie", L"Save As...", L"Exit"}), texts);
  EXPECT_TRUE(previewHidden);
  EXPECT_EQ((std::vector<ColumnSeen>{{L"HostName", 125}, {L"Number", 59}}), hostColumns);
  EXPECT_EQ((std::vector<ColumnSeen>{{L"FileName", 150}, {L"FileSize", 60}, {L"URL", 300}, {L"Location", 350}}),
            fileColumns);
  // Both spellings of the host in one group, named as first met; https in none.
  EXPECT_NE(hosts.end(), std::ranges::find(hosts, Row{L"one.cache.test", L"3"}));
  EXPECT_NE(hosts.end(), std::ranges::find(hosts, Row{L"two.cache.test", L"1"}));
  EXPECT_TRUE(std::ranges::none_of(hosts, [](const Row& row) { return row[0].find(L"secure") != std::wstring::npos; }));
  EXPECT_EQ(std::to_wstring(hosts.size()), hostCount);
  ASSERT_TRUE(shown) << "the host's files did not come up";
  auto fileName = [](const std::wstring& path) { return path.substr(path.find_last_of(L'\\') + 1); };
  // The last entry met on top.
  EXPECT_EQ((std::vector<Row>{{fileName(script), L"6", L"http://one.cache.test/c/third.js", script},
                              {fileName(logo), L"6", L"http://ONE.cache.test/b/logo.gif", logo},
                              {fileName(page), L"10", L"http://one.cache.test/a/page.htm", page}}),
            files);
  EXPECT_EQ(hosts.size() - 1, hostsAfterClear.size());
  EXPECT_EQ(hostsAfterClear.end(), std::ranges::find(hostsAfterClear, Row{L"one.cache.test", L"3"}));
  EXPECT_TRUE(filesEmptied);
  EXPECT_EQ(hostCount, hostCountAfterClear);
  EXPECT_EQ(L"Delete", nothingSelected.caption);
  EXPECT_EQ(L"Please select an item to delete.", nothingSelected.text);

  for (const wchar_t* gone : {L"http://one.cache.test/a/page.htm", L"http://ONE.cache.test/b/logo.gif",
                              L"http://one.cache.test/c/third.js"}) {
    EXPECT_FALSE(IsInUrlCache(gone)) << gone;
  }
  EXPECT_TRUE(IsInUrlCache(L"http://two.cache.test/style.css"));
  EXPECT_TRUE(IsInUrlCache(L"https://secure.cache.test/hidden.htm"));
}

TEST_F(CacheManagerTest, ClearCookieDeletesTheListedCookiesWithoutAWord) {
  ASSERT_TRUE(SetLastingCookie(L"http://cookie.cache.test/", L"kept=1"));
  ASSERT_EQ(1u, CookieNamesFor(L"cookie.cache.test").size()) << "the cache holds no entry for the cookie";
  bool stillOpen = false;
  RunManager([&](HWND dialog) {
    ClickButton(dialog, id::kClearCookie);
    ClickButton(dialog, id::kClearCookie);  // the list is empty now: nothing happens
    stillOpen = IsWindowVisible(dialog) != FALSE;
  });
  EXPECT_TRUE(stillOpen);
  EXPECT_TRUE(CookieNamesFor(L"cookie.cache.test").empty());
}

TEST_F(CacheManagerTest, ClearAllCommandsAskFirstAndDoNothingOnNo) {
  const std::wstring url = L"http://all.cache.test/page.htm";
  Put(url, "<p>all</p>", L"htm");
  ASSERT_TRUE(SetLastingCookie(L"http://all.cache.test/", L"all=1"));
  {
    CDialogAnswer no(L"Delete Caches", IDNO);
    Command(static_cast<WORD>(command::kClearAllCaches));
    EXPECT_EQ(L"Are you sure you want to delete all caches.", no.Text());
  }
  EXPECT_TRUE(IsInUrlCache(url));
  {
    CDialogAnswer no(L"Delete Cookies", IDNO);
    Command(static_cast<WORD>(command::kClearAllCookies));
    EXPECT_EQ(L"Are you sure you want to delete all cookies.", no.Text());
  }
  EXPECT_EQ(1u, CookieNamesFor(L"all.cache.test").size());
  {
    CDialogAnswer yes(L"Delete Cookies", IDYES);
    Command(static_cast<WORD>(command::kClearAllCookies));
    EXPECT_FALSE(yes.Text().empty());
  }
  EXPECT_TRUE(CookieNamesFor(L"all.cache.test").empty());
  EXPECT_TRUE(IsInUrlCache(url));
}

}  // namespace
}  // namespace tracewell::win::test
