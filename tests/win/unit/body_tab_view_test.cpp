// The "Body" tab's Win32 binding over in-memory stores: each pane's summary and text
// box hold the core's view of the body, the request pane stands above the response
// only for a record that sent a body, a stored body is read only while the tab is
// chosen, pictures are drawn by OLE and any other bytes (a picture OLE cannot read
// too) are text in a fixed-pitch font.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "bitmap_file.h"
#include "bodies/body_text.h"
#include "body_tab_view.h"
#include "module.h"
#include "support/fake_cache_files.h"

namespace tracewell::win::test {
namespace {

constexpr std::u16string_view kStoredFile = u"C:\\cache\\page[1].htm";
constexpr std::uint32_t kRed = 0xFF0000;

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

// The colour (0xRRGGBB) at `point` of what `window` prints of its client area.
std::uint32_t PrintedColour(HWND window, POINT point) {
  RECT client{};
  GetClientRect(window, &client);
  const HDC screen = GetDC(nullptr);
  const HDC dc = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
  ReleaseDC(nullptr, screen);
  const HGDIOBJ previous = SelectObject(dc, bitmap);
  SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
  const COLORREF colour = GetPixel(dc, point.x, point.y);
  SelectObject(dc, previous);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

RECT PlaceIn(HWND window, HWND parent) {
  RECT rect{};
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// A GET whose response the cache keeps in kStoredFile under these headers.
RecordBodies StoredBodies(std::u16string_view headers) {
  CHttpTransaction record;
  record.m_strMethod = u"GET";
  record.m_pCacheInfoAfter = std::make_unique<CacheEntrySnapshot>();
  record.m_pCacheInfoAfter->LocalFileName = kStoredFile;
  record.m_pCacheInfoAfter->HeaderInfo = headers;
  return RecordBodiesOf(record);
}

TEST(EditBoxText, LineBreaksBecomeCrLfAndNulsAreReplaced) {
  EXPECT_EQ(L"a\r\nb\r\n\r\nc", EditBoxText(u"a\nb\r\n\nc"));
  EXPECT_EQ(L"x\uFFFDy\r", EditBoxText(std::u16string(u"x\0y\r", 4)));
  EXPECT_EQ(L"", EditBoxText(u""));
}

class BodyTabViewTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { CBandkitModule::Get().Init(GetModuleHandleW(nullptr)); }

  void SetUp() override {
    m_parent = CreateWindowExW(0, L"STATIC", L"parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900, 500, nullptr,
                               nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, m_parent);
    ASSERT_TRUE(m_view.Create(m_parent));
    MoveWindow(m_view.Handle(), 0, 0, 800, 400, TRUE);
  }
  void TearDown() override { DestroyWindow(m_parent); }

  void Choose() {
    ShowWindow(m_view.Handle(), SW_SHOW);
    m_view.OnShown();
  }
  HWND Pane(int id) const { return GetDlgItem(m_view.Handle(), id); }
  HWND Summary(int pane) const { return GetDlgItem(Pane(pane), body_control::kSummary); }
  HWND Text(int pane) const { return GetDlgItem(Pane(pane), body_control::kText); }

  testing::FakeFiles m_files;
  CBodyTabView m_view{m_files};
  HWND m_parent = nullptr;
};

// Records chosen under another tab read nothing; choosing the tab reads the last
// one's body once, and a record chosen while the tab is shown is read at once.
TEST_F(BodyTabViewTest, StoredBodiesAreReadOnlyWhileTheTabIsChosen) {
  m_files.files[std::u16string(kStoredFile)] = "caf\xC3\xA9\nline two";
  const RecordBodies stored = StoredBodies(u"Content-Type: text/plain; charset=utf-8\r\n");
  m_view.ShowBodies(stored);
  m_view.ShowBodies(stored);
  EXPECT_TRUE(m_files.readLimits.empty());
  EXPECT_EQ(L"", TextOf(Text(body_control::kResponsePane)));

  Choose();
  EXPECT_EQ(1u, m_files.readLimits.size());
  EXPECT_EQ(L"Response body: 14 bytes; text (UTF-8)", TextOf(Summary(body_control::kResponsePane)));
  EXPECT_EQ(L"caf\u00E9\r\nline two", TextOf(Text(body_control::kResponsePane)));
  m_view.OnShown();  // chosen again with nothing new: no second read
  EXPECT_EQ(1u, m_files.readLimits.size());

  m_files.files.clear();
  m_view.ShowBodies(stored);
  EXPECT_EQ(2u, m_files.readLimits.size());
  EXPECT_EQ(L"The store no longer holds this response's body.", TextOf(Summary(body_control::kResponsePane)));
  EXPECT_EQ(L"", TextOf(Text(body_control::kResponsePane)));

  m_view.ShowBodies(std::nullopt);
  EXPECT_EQ(L"", TextOf(Summary(body_control::kResponsePane)));
  EXPECT_FALSE(IsWindowVisible(Pane(body_control::kRequestPane)));
}

// The request pane over the top quarter for a record that sent a body, the response
// under it; hidden again for one that did not. The summary's lines stand above the
// text box, which fills the rest in a fixed-pitch font.
TEST_F(BodyTabViewTest, RequestBodyStandsAboveTheResponseOnlyWhenSent) {
  Choose();
  RecordBodies posted;
  posted.requestBody = "name=value";
  posted.requestContentType = u"application/x-www-form-urlencoded";
  posted.responseContentType = u"application/json";
  posted.carriedBody = R"({"ok":true})";
  m_view.ShowBodies(posted);
  EXPECT_TRUE(m_files.readLimits.empty());  // a carried body needs no store
  ASSERT_TRUE(IsWindowVisible(Pane(body_control::kRequestPane)));
  EXPECT_EQ(L"Request body: 10 bytes; text (UTF-8)", TextOf(Summary(body_control::kRequestPane)));
  EXPECT_EQ(L"name=value", TextOf(Text(body_control::kRequestPane)));
  EXPECT_EQ(L"Response body: 11 bytes, kept with the record; JSON (UTF-8)",
            TextOf(Summary(body_control::kResponsePane)));
  EXPECT_EQ(L"{\r\n  \"ok\": true\r\n}", TextOf(Text(body_control::kResponsePane)));

  const RECT request = PlaceIn(Pane(body_control::kRequestPane), m_view.Handle());
  const RECT response = PlaceIn(Pane(body_control::kResponsePane), m_view.Handle());
  EXPECT_EQ(0, request.top);
  EXPECT_EQ(100, request.bottom);
  EXPECT_EQ(100, response.top);
  EXPECT_EQ(400, response.bottom);
  const HWND summary = Summary(body_control::kResponsePane);
  const RECT summaryPlace = PlaceIn(summary, Pane(body_control::kResponsePane));
  const RECT textPlace = PlaceIn(Text(body_control::kResponsePane), Pane(body_control::kResponsePane));
  EXPECT_GT(summaryPlace.bottom, 0);
  EXPECT_LT(summaryPlace.bottom, textPlace.top);
  EXPECT_EQ(300, textPlace.bottom);

  const HDC dc = GetDC(Text(body_control::kResponsePane));
  const HGDIOBJ previous =
      SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(Text(body_control::kResponsePane), WM_GETFONT, 0, 0)));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, previous);
  ReleaseDC(Text(body_control::kResponsePane), dc);
  EXPECT_EQ(0, metrics.tmPitchAndFamily & TMPF_FIXED_PITCH);  // the bit is set for variable pitch

  posted.requestBody.clear();
  m_view.ShowBodies(posted);
  EXPECT_FALSE(IsWindowVisible(Pane(body_control::kRequestPane)));
  EXPECT_EQ(0, PlaceIn(Pane(body_control::kResponsePane), m_view.Handle()).top);
}

// A bitmap is drawn at its natural size under the summary with the text box hidden;
// bytes that only begin like a picture are shown as their hex dump.
TEST_F(BodyTabViewTest, PicturesAreDrawnAndUnreadableOnesDumped) {
  Choose();
  m_files.files[std::u16string(kStoredFile)] = BitmapFile(40, 20, kRed);
  m_view.ShowBodies(StoredBodies(u"Content-Type: image/bmp\r\n"));
  const HWND pane = Pane(body_control::kResponsePane);
  EXPECT_TRUE(m_view.Response().ShowsPicture());
  EXPECT_FALSE(IsWindowVisible(Text(body_control::kResponsePane)));
  EXPECT_EQ(L"Response body: 2454 bytes; image (image/bmp)", TextOf(Summary(body_control::kResponsePane)));
  const RECT summary = PlaceIn(Summary(body_control::kResponsePane), pane);
  const LONG top = summary.bottom + 4;
  EXPECT_EQ(kRed, PrintedColour(pane, {2, top + 2}));
  // 40 by 20 pixels at 96 dots per inch, through hundredths of a millimetre and back,
  // rounded down: 39 by 19.
  EXPECT_EQ(kRed, PrintedColour(pane, {38, top + 18}));
  EXPECT_NE(kRed, PrintedColour(pane, {41, top + 2}));
  EXPECT_NE(kRed, PrintedColour(pane, {2, top + 21}));

  const std::string notReadable("\x89PNG\r\n\x1A\nnot a picture", 21);
  m_files.files[std::u16string(kStoredFile)] = notReadable;
  m_view.ShowBodies(StoredBodies(u"Content-Type: image/png\r\n"));
  EXPECT_FALSE(m_view.Response().ShowsPicture());
  EXPECT_TRUE(IsWindowVisible(Text(body_control::kResponsePane)));
  EXPECT_EQ(EditBoxText(HexDump(notReadable)), TextOf(Text(body_control::kResponsePane)));
}

}  // namespace
}  // namespace tracewell::win::test
