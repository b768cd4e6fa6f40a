// Recording on the real platform: the band registers its namespace handlers in the
// process's urlmon session, the test fetches from an origin on 127.0.0.1 through
// urlmon, and the requests come back as rows of the band's grid.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <urlmon.h>

#include <string>
#include <vector>

#include "band_fixture.h"
#include "fake_browser.h"
#include "fake_site.h"
#include "loopback_origin.h"

namespace tracewell::win::test {
namespace {

constexpr WORD kCommandStart = 32768;
constexpr WORD kCommandStop = 32769;

using GridRow = std::vector<std::wstring>;

// The body urlmon delivers for `url`, or the failure of the fetch.
std::string Fetch(const std::wstring& url, HRESULT& result) {
  ComPtr<IStream> stream;
  result = URLOpenBlockingStreamW(nullptr, url.c_str(), stream.Receive(), 0, nullptr);
  std::string body;
  if (FAILED(result)) return body;
  char buffer[4096];
  ULONG read = 0;
  while (SUCCEEDED(stream->Read(buffer, sizeof(buffer), &read)) && read > 0) body.append(buffer, read);
  return body;
}

class CaptureTest : public BandTest {
 protected:
  void SetUp() override {
    BandTest::SetUp();
    ASSERT_EQ(S_OK, SetSite(m_site.Unknown()));
    m_grid = FindWindowExW(BandWindow(), nullptr, WC_LISTVIEWW, nullptr);
    ASSERT_NE(nullptr, m_grid);
  }
  void TearDown() override {
    SetSite(nullptr);
    BandTest::TearDown();
  }

  std::vector<GridRow> Rows() const {
    std::vector<GridRow> rows;
    const auto count = SendMessageW(m_grid, LVM_GETITEMCOUNT, 0, 0);
    for (LRESULT row = 0; row < count; ++row) {
      GridRow cells;
      for (int column = 0; column < 10; ++column) {
        wchar_t text[1024] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = 1024;
        SendMessageW(m_grid, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        cells.emplace_back(text);
      }
      rows.push_back(cells);
    }
    return rows;
  }

  // Runs this thread's messages (the capture's hand-over among them) until the grid
  // has `count` rows whose requests are over, or a bounded number of rounds passed.
  std::vector<GridRow> RowsOnceFinished(std::size_t count) {
    for (int round = 0; round < 100; ++round) {
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
      const auto rows = Rows();
      bool finished = rows.size() >= count;
      for (const GridRow& row : rows) finished = finished && !row[2].empty();
      if (finished) return rows;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return Rows();
  }

  bool Checked(WORD id) const {
    const HWND toolbar = FindWindowExW(GetParent(m_grid), nullptr, TOOLBARCLASSNAMEW, nullptr);
    return SendMessageW(toolbar, TB_ISBUTTONCHECKED, id, 0) != 0;
  }

  CBarWindow m_bar;
  CFakeBrowser m_browser;
  CFakeSite m_site{m_bar.Handle(), &m_browser};
  HWND m_grid = nullptr;
};

void PrintRows(const std::vector<GridRow>& rows) {
  for (const GridRow& row : rows) {
    std::wstring line;
    for (const std::wstring& cell : row) line += L"[" + cell + L"]";
    std::printf("%ls\n", line.c_str());
  }
}

TEST_F(CaptureTest, FetchedPageIsARowOfTheGrid) {
  CLoopbackOrigin origin(1);
  EXPECT_TRUE(Checked(kCommandStop));
  Command(kCommandStart);
  EXPECT_TRUE(Checked(kCommandStart));
  EXPECT_FALSE(Checked(kCommandStop));
  HRESULT result = E_FAIL;
  EXPECT_EQ("<html>hello</html>", Fetch(origin.Url(L"/page.html"), result));
  EXPECT_EQ(S_OK, result);
  const auto rows = RowsOnceFinished(1);
  PrintRows(rows);
  Command(kCommandStop);
  EXPECT_TRUE(Checked(kCommandStop));
}

}  // namespace
}  // namespace tracewell::win::test
