// The "Body" tab as a user reaches it: a HAR session whose records carry their
// bodies, loaded through Load, each record chosen in the grid shows the core's view
// of its request and response bodies (the text boxes read back, the picture drawn);
// and a page recorded live shows the body that the browser's cache kept.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "bitmap_file.h"
#include "bodies/body_view.h"
#include "loaded_session.h"
#include "loopback_origin.h"
#include "session_io/session_file.h"
#include "support/fake_cache_files.h"
#include "window_picture.h"

namespace tracewell::win::test {
namespace {

// The tab's and its panes' control ids (src/win/body_tab_view.h).
constexpr int kBodyTab = 6;
constexpr int kRequestPane = 1001;
constexpr int kResponsePane = 1002;
constexpr int kSummary = 1003;
constexpr int kText = 1004;
constexpr std::uint32_t kGreen = 0x00C000;

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

// The core's text of a body view with the line breaks a text box holds.
std::wstring BoxText(std::u16string_view text) {
  std::wstring box;
  for (const char16_t unit : text) {
    if (unit == u'\n') box += L'\r';
    box += static_cast<wchar_t>(unit);
  }
  return box;
}

std::unique_ptr<CHttpTransaction> WithBody(const MadeRecord& made, std::uint16_t second, std::string body) {
  auto record = MakeRecord(made, second);
  record->m_strResponseHeaders = u"HTTP/1.1 200 OK\r\nContent-Type: " + made.mimeType + u"\r\n\r\n";
  record->m_pResponseBody = std::make_unique<std::string>(std::move(body));
  return record;
}

class BodyTabTest : public LoadedSessionTest {
 protected:
  void SetUp() override {
    LoadedSessionTest::SetUp();
    m_pane = FindWindowExW(BandWindow(), nullptr, L"TracewellDetailPane", nullptr);
    ASSERT_NE(nullptr, m_pane);
    m_tabs = FindWindowExW(m_pane, nullptr, WC_TABCONTROLW, nullptr);
    m_body = FindWindowExW(m_pane, nullptr, L"TracewellBodyTab", nullptr);
    ASSERT_NE(nullptr, m_body);
  }

  void ShowTab(int index) {
    TabCtrl_SetCurSel(m_tabs, index);
    NMHDR change{m_tabs, 0, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(m_pane, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&change));
  }

  void ChooseRow(int row) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    SendMessageW(m_grid, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    LeftClick(m_grid, row, 0);
  }

  HWND Control(int pane, int id) const { return GetDlgItem(GetDlgItem(m_body, pane), id); }

  // A pane as the core's BodyViewText writes it: the summary's lines, then the text
  // box's ending in a line break.
  std::wstring PaneText(int pane) const {
    std::wstring text = TextOf(Control(pane, kSummary)) + L"\r\n" + TextOf(Control(pane, kText));
    if (!text.ends_with(L"\r\n")) text += L"\r\n";
    return text;
  }

  HWND m_pane = nullptr;
  HWND m_tabs = nullptr;
  HWND m_body = nullptr;
};

TEST_F(BodyTabTest, ChosenRecordsOfAHarSessionShowTheCoresViewOfTheirBodies) {
  TransactionArray made;
  auto post = WithBody({u"http://127.0.0.1/form", u"200", 11, u"application/json"}, 0, "{\"saved\":[1,\"caf\xC3\xA9\"]}");
  post->m_strMethod = u"POST";
  post->m_strRequestHeaders = u"POST /form HTTP/1.1\r\nContent-Type: application/x-www-form-urlencoded\r\n\r\n";
  post->m_strPostData = u"name=value&word=caf\u00E9";
  made.push_back(std::move(post));
  made.push_back(WithBody({u"http://127.0.0.1/page.html", u"200", 30, u"text/html"}, 1,
                          "<html>\n<p>Gr\xC3\xBC\xC3\x9F" "e</p>\n</html>\n"));
  made.push_back(WithBody({u"http://127.0.0.1/data.bin", u"200", 20, u"application/octet-stream"}, 2,
                          std::string("\x00\x01\x02 binary \xFF\xFE\x7F tail", 20)));
  made.push_back(WithBody({u"http://127.0.0.1/dot.bmp", u"200", 0, u"image/bmp"}, 3, BitmapFile(30, 10, kGreen)));
  made.push_back(MakeRecord({u"http://127.0.0.1/none", u"404", 0, u"text/html"}, 4));
  // A picture OLE cannot read is shown as its hex dump.
  made.push_back(WithBody({u"http://127.0.0.1/bad.png", u"200", 0, u"image/png"}, 5,
                          std::string("\x89PNG\r\n\x1A\nnot a picture", 21)));

  const std::wstring file = NewTemporaryFile(L".har");
  ASSERT_FALSE(WriteSessionFile(SessionFormat::kHar, file, made, m_clock).has_value());
  CDialogAnswer load(L"Open", IDOK, file);
  Command(kCommandLoad);
  load.Texts();
  ASSERT_EQ(made.size(), Rows().size());
  // The core's views of the records as the file gives them back.
  SessionFileLoad loaded = LoadSessionFile(file, m_clock);
  DeleteFileW(file.c_str());
  ASSERT_EQ(made.size(), loaded.records.size());
  tracewell::testing::FakeFiles noStore;

  // Chosen under another tab, the record is shown once the Body tab is.
  ChooseRow(0);
  ShowTab(kBodyTab);
  ASSERT_TRUE(IsWindowVisible(m_body));
  for (const int row : {0, 1, 2, 4, 5}) {
    ChooseRow(row);
    const RecordBodies bodies = RecordBodiesOf(*loaded.records[static_cast<std::size_t>(row)]);
    const BodyView request = RequestBodyView(bodies);
    EXPECT_EQ(request.kind != BodyKind::kNone, IsWindowVisible(GetDlgItem(m_body, kRequestPane))) << row;
    if (request.kind != BodyKind::kNone) {
      EXPECT_EQ(BoxText(BodyViewText(request)), PaneText(kRequestPane)) << row;
    }
    EXPECT_EQ(BoxText(BodyViewText(ResponseBodyView(bodies, noStore))), PaneText(kResponsePane)) << row;
  }
  EXPECT_TRUE(noStore.readLimits.empty());

  // What the user reads of the POST.
  ChooseRow(0);
  EXPECT_EQ(L"Request body: 20 bytes; text (windows-1252)", TextOf(Control(kRequestPane, kSummary)));
  EXPECT_EQ(L"{\r\n  \"saved\": [\r\n    1,\r\n    \"caf\u00E9\"\r\n  ]\r\n}", TextOf(Control(kResponsePane, kText)));

  // The picture instead of its hex dump, drawn under the summary.
  ChooseRow(3);
  const HWND response = GetDlgItem(m_body, kResponsePane);
  EXPECT_FALSE(IsWindowVisible(Control(kResponsePane, kText)));
  EXPECT_EQ(L"Response body: 974 bytes, kept with the record; image (image/bmp)",
            TextOf(Control(kResponsePane, kSummary)));
  RECT summary{};
  GetWindowRect(Control(kResponsePane, kSummary), &summary);
  MapWindowPoints(nullptr, response, reinterpret_cast<POINT*>(&summary), 2);
  const CWindowPicture picture = PrintWindowClient(response);
  ASSERT_GT(picture.height, summary.bottom + 20);
  EXPECT_EQ(kGreen, picture.Pixel(5, summary.bottom + 8));
  EXPECT_NE(kGreen, picture.Pixel(40, summary.bottom + 8));

  Command(kCommandClear);
  EXPECT_EQ(L"", TextOf(Control(kResponsePane, kSummary)));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(m_body, kRequestPane)));
}

// The cache keeps what urlmon fetched: the tab reads the after snapshot's file.
TEST_F(BodyTabTest, RecordedPageShowsTheBodyTheCacheKept) {
  CLoopbackOrigin origin(1);
  Command(kCommandStart);
  HRESULT result = E_FAIL;
  ASSERT_EQ("<html>hello</html>", Fetch(origin.Url(L"/page.html?body"), result));
  ASSERT_EQ(1u, RowsOnceFinished(1).size());
  Command(kCommandStop);
  ShowTab(kBodyTab);
  ChooseRow(0);
  const std::wstring summary = TextOf(Control(kResponsePane, kSummary));
  EXPECT_TRUE(summary.starts_with(L"Response body: 18 bytes; text (")) << summary;
  EXPECT_EQ(L"<html>hello</html>", TextOf(Control(kResponsePane, kText)));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(m_body, kRequestPane)));
}

}  // namespace
}  // namespace tracewell::win::test
