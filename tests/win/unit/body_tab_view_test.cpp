// The "Body" tab's Win32 binding over in-memory stores: a stored body is read only
// while the tab is chosen, the request pane stands above the response only for a
// record that sent a body, and the text is in a fixed-pitch font with the line breaks
// a text box needs. (The host test compares the panes with the core's views.)

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "body_tab_view.h"
#include "module.h"
#include "support/fake_cache_files.h"

namespace tracewell::win::test {
namespace {

constexpr std::u16string_view kStoredFile = u"C:\\cache\\page[1].htm";

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
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
  auto entry = std::make_shared<CacheEntrySnapshot>();
  entry->LocalFileName = kStoredFile;
  entry->HeaderInfo = headers;
  record.m_pCacheInfoAfter = entry;
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
  EXPECT_EQ(L"name=value", TextOf(Text(body_control::kRequestPane)));

  const RECT request = PlaceIn(Pane(body_control::kRequestPane), m_view.Handle());
  const RECT response = PlaceIn(Pane(body_control::kResponsePane), m_view.Handle());
  EXPECT_EQ(0, request.top);
  EXPECT_EQ(100, request.bottom);
  EXPECT_EQ(100, response.top);
  EXPECT_EQ(400, response.bottom);
  const RECT summaryPlace = PlaceIn(Summary(body_control::kResponsePane), Pane(body_control::kResponsePane));
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

}  // namespace
}  // namespace tracewell::win::test
