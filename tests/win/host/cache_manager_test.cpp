// The cookie and cache manager over the WinINet cache of the test prefix, opened by
// the Tools command and driven as a user drives it: the hosts with their file
// counts, a host's files in the list, both lists sorted by header clicks, a host's files and the cookies cleared from
// the cache, the messages of the buttons with nothing to act on, the two Clear All
// commands' questions, the preview of a text and of pictures, and Save As.

#include <windows.h>

#include <commctrl.h>
#include <shlwapi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "band_fixture.h"
#include "bitmap_file.h"
#include "cache_manager_dialog.h"
#include "capture_fixture.h"
#include "dialog_answer.h"
#include "dialog_driver.h"
#include "list_header.h"
#include "url_cache.h"
#include "views/main_commands.h"
#include "window_picture.h"

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

std::optional<int> FindRow(HWND list, const std::wstring& cell, int column = 0) {
  for (int row = 0; row < RowCount(list); ++row) {
    if (CellText(list, row, column) == cell) return row;
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
  const auto count = static_cast<int>(SendMessageW(HeaderOf(list), HDM_GETITEMCOUNT, 0, 0));
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

// Clicks the row of the file list whose URL is `url` and waits until the dialog has
// handled the click: a column width set after it has come through.
bool ClickFile(HWND dialog, const std::wstring& url) {
  static int marker = 400;
  const HWND files = GetDlgItem(dialog, id::kFileList);
  const auto row = FindRow(files, url, 2);
  if (!row) return false;
  ClickRow(files, *row);
  const int width = ++marker;
  PostMessageW(files, LVM_SETCOLUMNWIDTH, 3, width);
  return WaitUntil([&] { return SendMessageW(files, LVM_GETCOLUMNWIDTH, 3, 0) == width; });
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
  RECT place{}, owner{};
  MessageBoxSeen nothingSelected;
  RunManager([&](HWND dialog) {
    wchar_t caption[64] = {};
    GetWindowTextW(dialog, caption, 64);
    title = caption;
    GetWindowRect(dialog, &place);
    GetWindowRect(GetWindow(dialog, GW_OWNER), &owner);
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
  // Centred on its owner, to the pixel that halving may lose.
  EXPECT_NEAR((owner.left + owner.right) / 2, (place.left + place.right) / 2, 1);
  EXPECT_NEAR((owner.top + owner.bottom) / 2, (place.top + place.bottom) / 2, 1);
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

// Up and Down are taken before the list moves its selection: with none, Down shows
// the first host; then the row below the selected one, and Up the row above.
TEST_F(CacheManagerTest, ArrowKeysInTheHostListShowTheNextHostsFiles) {
  Put(L"http://keys-one.cache.test/a.htm", "a", L"htm");
  Put(L"http://keys-two.cache.test/b.htm", "b", L"htm");
  Put(L"http://keys-two.cache.test/c.htm", "c", L"htm");
  std::vector<Row> hosts;
  // After each key: the host of the listed files' first URL, and the file counter.
  std::vector<Row> shown;
  RunManager([&](HWND dialog) {
    const HWND hostList = GetDlgItem(dialog, id::kHostList);
    hosts = ListRows(hostList, 2);
    for (const WPARAM key : {VK_DOWN, VK_DOWN, VK_UP}) {
      PostMessageW(hostList, WM_KEYDOWN, key, 1);
      PostMessageW(hostList, WM_KEYUP, key, 0xC0000001);
      // The key has come through once the list's selection has moved.
      const int expectedRow = key == VK_DOWN ? static_cast<int>(shown.size()) : 0;
      WaitUntil([&] {
        return SendMessageW(hostList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) == expectedRow;
      });
      wchar_t host[256] = {};
      DWORD length = 256;
      const std::wstring url = CellText(GetDlgItem(dialog, id::kFileList), 0, 2);
      UrlGetPartW(url.c_str(), host, &length, URL_PART_HOSTNAME, 0);
      shown.push_back({CharLowerW(host), ControlText(dialog, id::kFileCount)});
    }
  });
  ASSERT_GE(hosts.size(), 2u);
  auto lower = [](Row row) {
    CharLowerW(row[0].data());
    return row;
  };
  // Down with no selection shows row 0; Down from row 0 shows row 1; Up from row 1, row 0.
  EXPECT_EQ((std::vector<Row>{lower(hosts[0]), lower(hosts[1]), lower(hosts[0])}), shown);
}

// A header click as the mouse gives it, posted from the steps' thread; returns once
// the header shows the arrow `expected` on `column`.
bool ClickHeader(HWND list, int column, Arrow expected) {
  const HWND header = HeaderOf(list);
  PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, ItemPoint(header, column));
  PostMessageW(header, WM_LBUTTONUP, 0, ItemPoint(header, column));
  return WaitUntil([&] { return Arrows(list).at(static_cast<std::size_t>(column)) == expected; });
}

bool InTextOrder(const std::vector<Row>& rows, int column, bool descending) {
  return std::ranges::is_sorted(rows, [&](const Row& a, const Row& b) {
    const int compared = lstrcmpW(a[static_cast<std::size_t>(column)].c_str(), b[static_cast<std::size_t>(column)].c_str());
    return descending ? compared > 0 : compared < 0;
  });
}

// Both lists sort by a header click, flipping on a second one; a host clicked in the
// sorted list shows its own files.
TEST_F(CacheManagerTest, HeaderClicksSortTheListsAsText) {
  Put(L"http://sort-b.cache.test/2.htm", "22", L"htm");
  Put(L"http://sort-b.cache.test/10.htm", "1010101010", L"htm");
  Put(L"http://sort-a.cache.test/1.htm", "1", L"htm");
  std::vector<std::vector<Row>> hostOrders;
  std::vector<std::vector<Arrow>> hostArrows;
  std::vector<Row> files;
  bool clicked = true, shown = false;
  RunManager([&](HWND dialog) {
    const HWND hosts = GetDlgItem(dialog, id::kHostList);
    clicked = ClickHeader(hosts, 0, Arrow::kUp);
    hostOrders.push_back(ListRows(hosts, 2));
    clicked = ClickHeader(hosts, 0, Arrow::kDown) && clicked;
    hostOrders.push_back(ListRows(hosts, 2));
    clicked = ClickHeader(hosts, 1, Arrow::kUp) && clicked;
    hostOrders.push_back(ListRows(hosts, 2));
    hostArrows.push_back(Arrows(hosts));
    shown = ShowHost(dialog, L"sort-b.cache.test", 2);
    // "FileSize" as text: "10" before "2".
    clicked = ClickHeader(GetDlgItem(dialog, id::kFileList), 1, Arrow::kUp) && clicked;
    files = ListRows(GetDlgItem(dialog, id::kFileList), 4);
  });
  ASSERT_TRUE(clicked) << "a header click did not sort";
  ASSERT_EQ(3u, hostOrders.size());
  EXPECT_TRUE(InTextOrder(hostOrders[0], 0, false));
  EXPECT_TRUE(InTextOrder(hostOrders[1], 0, true));
  EXPECT_TRUE(InTextOrder(hostOrders[2], 1, false));
  EXPECT_EQ((std::vector<std::vector<Arrow>>{{Arrow::kNone, Arrow::kUp}}), hostArrows);
  ASSERT_TRUE(shown);
  ASSERT_EQ(2u, files.size());
  EXPECT_EQ(L"10", files[0][1]);
  EXPECT_EQ(L"http://sort-b.cache.test/10.htm", files[0][2]);
  EXPECT_EQ(L"2", files[1][1]);
}

constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kBlue = 0x0000FF;

// The preview area (the text box's place) in the dialog's client coordinates.
RECT PreviewArea(HWND dialog) {
  RECT area{};
  GetWindowRect(GetDlgItem(dialog, id::kPreviewText), &area);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
  return area;
}

// Where a picture of one colour lies in the area: its left, top, right and bottom
// edges, found along the middle row and column of the area.
struct ColourSpan {
  int left = -1, top = -1, right = -1, bottom = -1;
  friend bool operator==(const ColourSpan&, const ColourSpan&) = default;
  friend void PrintTo(const ColourSpan& span, std::ostream* out) {
    *out << "{" << span.left << ", " << span.top << ", " << span.right << ", " << span.bottom << "}";
  }
};

ColourSpan FindColour(const CWindowPicture& picture, const RECT& area, std::uint32_t colour) {
  ColourSpan span;
  const int middleY = (area.top + area.bottom) / 2;
  const int middleX = (area.left + area.right) / 2;
  for (int x = area.left; x < area.right; ++x) {
    if (picture.Pixel(x, middleY) != colour) continue;
    if (span.left < 0) span.left = x;
    span.right = x + 1;
  }
  for (int y = area.top; y < area.bottom; ++y) {
    if (picture.Pixel(middleX, y) != colour) continue;
    if (span.top < 0) span.top = y;
    span.bottom = y + 1;
  }
  return span;
}

TEST_F(CacheManagerTest, PreviewShowsTextAndPlacesPicturesAndSaveAsCopiesTheFile) {
  const std::string text("<p>caf\xE9</p>\0after", 17);
  const std::wstring page = Put(L"http://preview.cache.test/page.htm", text, L"htm");
  Put(L"http://preview.cache.test/small.bmp", BitmapFile(48, 24, kRed), L"bmp");
  Put(L"http://preview.cache.test/wide.bmp", BitmapFile(2000, 24, kBlue), L"bmp");
  Put(L"http://preview.cache.test/style.CSS", "p{}", L"CSS");
  const std::wstring target = NewTemporaryFile(L".htm");

  MessageBoxSeen nothingSelected;
  bool shown = false, textVisible = false, frameHidden = false, textHiddenForPicture = false;
  std::wstring previewText;
  RECT area{};
  CWindowPicture small, afterCss, wide;
  std::vector<std::wstring> saveTexts;
  RunManager([&](HWND dialog) {
    shown = ShowHost(dialog, L"preview.cache.test", 4);
    if (!shown) return;
    PostClick(dialog, id::kSaveAs);
    nothingSelected = AnswerMessageBox(dialog);

    const HWND box = GetDlgItem(dialog, id::kPreviewText);
    ClickFile(dialog, L"http://preview.cache.test/page.htm");
    textVisible = IsWindowVisible(box) != FALSE;
    frameHidden = !IsWindowVisible(GetDlgItem(dialog, id::kPreviewFrame));
    previewText = ControlText(dialog, id::kPreviewText);
    {
      CDialogAnswer save(L"Save As", IDOK, target);
      PostClick(dialog, id::kSaveAs);
      saveTexts = save.Texts();
    }

    area = PreviewArea(dialog);
    ClickFile(dialog, L"http://preview.cache.test/small.bmp");
    textHiddenForPicture = !IsWindowVisible(box);
    small = PrintWindowClient(dialog);
    ClickFile(dialog, L"http://preview.cache.test/style.CSS");
    afterCss = PrintWindowClient(dialog);
    ClickFile(dialog, L"http://preview.cache.test/wide.bmp");
    wide = PrintWindowClient(dialog);
  });

  ASSERT_TRUE(shown) << "the host's files did not come up";
  EXPECT_EQ(L"Save", nothingSelected.caption);
  EXPECT_EQ(L"Please select a file to save", nothingSelected.text);
  // Text up to the first zero byte, from the narrow code page.
  EXPECT_TRUE(textVisible);
  EXPECT_TRUE(frameHidden);
  EXPECT_EQ(L"<p>caf\u00E9</p>", previewText);
  // The cached file's name proposed, and its bytes copied whole.
  const std::wstring pageName = page.substr(page.find_last_of(L'\\') + 1);
  EXPECT_NE(saveTexts.end(), std::ranges::find(saveTexts, pageName));
  EXPECT_EQ(text, ReadText(target));
  DeleteFileW(target.c_str());

  EXPECT_TRUE(textHiddenForPicture);
  ASSERT_FALSE(small.pixels.empty());
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  // Smaller than the area: its own size, centred on both axes.
  const int left = area.left + (width - 48) / 2;
  const int top = area.top + (height - 24) / 2;
  EXPECT_EQ((ColourSpan{left, top, left + 48, top + 24}), FindColour(small, area, kRed));
  // A file whose extension is no known kind changes nothing.
  EXPECT_EQ(FindColour(small, area, kRed), FindColour(afterCss, area, kRed));
  // Wider than the area: squeezed to its width, its own height centred; the smaller
  // picture erased first.
  EXPECT_EQ((ColourSpan{area.left, top, area.right, top + 24}), FindColour(wide, area, kBlue));
  EXPECT_EQ(ColourSpan{}, FindColour(wide, area, kRed));
}

}  // namespace
}  // namespace tracewell::win::test
