// Recording on the real platform: the band registers its namespace handlers in the
// process's urlmon session, the test fetches from an origin on 127.0.0.1 through
// urlmon, and the requests come back as rows of the band's grid.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <urlmon.h>
#include <wininet.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "capture_fixture.h"
#include "dialog_answer.h"
#include "loopback_origin.h"
#include "post_callback.h"
#include "session_rows.h"
#include "session_io/file_io.h"
#include "session_io/log_file.h"
#include "views/grid_columns.h"

namespace tracewell::win::test {
namespace {

// A finished row's cells but the two times (started, duration), which differ per run.
GridRow WithoutTimes(GridRow row) {
  EXPECT_FALSE(row.at(1).empty());
  EXPECT_FALSE(row.at(2).empty());
  row.erase(row.begin() + 1, row.begin() + 3);
  return row;
}

// The grid's "Sent" for a request: the handler's header block (the head less its
// final empty line) plus 2, plus a POST's body; which is the head as it reached the
// origin, and the body.
std::wstring SentFor(const std::string& head, std::size_t bodySize = 0) {
  return std::to_wstring(head.size() + bodySize);
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
  ASSERT_EQ(1u, rows.size());
  ASSERT_EQ(1u, origin.RequestHeads().size());
  EXPECT_EQ((GridRow{L"0", SentFor(origin.RequestHeads()[0]), L"GET", L"200", L"18", L"text/html",
                     origin.Url(L"/page.html"), L"127.0.0.1"}),
            WithoutTimes(rows[0]));
  Command(kCommandStop);
  EXPECT_TRUE(Checked(kCommandStop));
  EXPECT_FALSE(Checked(kCommandStart));
}

TEST_F(CaptureTest, RedirectIsARowPerHop) {
  CLoopbackOrigin origin(2);
  Command(kCommandStart);
  HRESULT result = E_FAIL;
  EXPECT_EQ("<html>hello</html>", Fetch(origin.Url(L"/moved"), result));
  const auto rows = RowsOnceFinished(2);
  const auto heads = origin.RequestHeads();
  ASSERT_EQ(2u, rows.size());
  ASSERT_EQ(2u, heads.size());
  EXPECT_EQ((GridRow{L"0", SentFor(heads[0]), L"GET", L"302", L"0", L"", origin.Url(L"/moved"), L"127.0.0.1"}),
            WithoutTimes(rows[0]));
  EXPECT_EQ((GridRow{L"1", SentFor(heads[1]), L"GET", L"200", L"18", L"text/html", origin.Url(L"/page.html"),
                     L"127.0.0.1"}),
            WithoutTimes(rows[1]));
}

// The body is read for the record and still reaches the origin whole, given as
// global memory or as a stream.
TEST_F(CaptureTest, PostIsRecordedWithItsBodyWhichStillReachesTheOrigin) {
  const std::string body = "name=value&x=1";
  CLoopbackOrigin origin(2);
  Command(kCommandStart);
  for (PostMedium medium : {PostMedium::kGlobalMemory, PostMedium::kStream}) {
    CPostCallback post(body, medium);
    HRESULT result = E_FAIL;
    EXPECT_EQ("posted", Fetch(origin.Url(L"/form"), result, post.Callback()));
  }
  const auto rows = RowsOnceFinished(2);
  const auto heads = origin.RequestHeads();
  ASSERT_EQ(2u, rows.size());
  ASSERT_EQ(2u, heads.size());
  EXPECT_EQ((std::vector<std::string>{body, body}), origin.RequestBodies());
  for (std::size_t row = 0; row < 2; ++row) {
    EXPECT_EQ((GridRow{std::to_wstring(row), SentFor(heads[row], body.size()), L"POST", L"200",
                       L"6", L"text/plain", origin.Url(L"/form"), L"127.0.0.1"}),
              WithoutTimes(rows[row]));
  }
}

// Save writes the session to the file named in the save dialog; read back with the
// core's reader its records make the grid's rows, and Load puts them back in place of
// the session recorded since.
TEST_F(CaptureTest, SavedLogFileHoldsTheRowsOfTheGridAndLoadsBack) {
  CLoopbackOrigin origin(3);
  Command(kCommandStart);
  HRESULT result = E_FAIL;
  Fetch(origin.Url(L"/moved"), result);
  const auto rows = RowsOnceFinished(2);
  ASSERT_EQ(2u, rows.size());

  const std::wstring file = NewTemporaryFile(L".elf");
  CDialogAnswer save(L"Save As", IDOK, file.substr(0, file.size() - 4));  // the dialog adds ".elf"
  Command(kCommandSave);
  save.Texts();
  FileError error;
  const auto source = FileByteSource::Open(file, error);
  ASSERT_NE(nullptr, source) << error.message;
  const LogLoadResult saved = ReadLogFile(*source);
  EXPECT_FALSE(saved.message.has_value());
  ASSERT_EQ(2u, saved.records.size());
  for (std::size_t row = 0; row < 2; ++row) {
    EXPECT_EQ(WithoutTimes(rows[row]), WithoutTimes(Wide(NewRowTexts(*saved.records[row], static_cast<int>(row)))));
  }

  Fetch(origin.Url(L"/page.html?after-saving"), result);
  ASSERT_EQ(3u, RowsOnceFinished(3).size());
  CDialogAnswer load(L"Open", IDOK, file);
  Command(kCommandLoad);
  load.Texts();
  DeleteFileW(file.c_str());
  const auto loaded = Rows();
  ASSERT_EQ(2u, loaded.size());
  for (std::size_t row = 0; row < 2; ++row) EXPECT_EQ(WithoutTimes(rows[row]), WithoutTimes(loaded[row]));
}

TEST_F(CaptureTest, LoadRefusesAFileThatIsNoLogAndKeepsTheSession) {
  CLoopbackOrigin origin(1);
  Command(kCommandStart);
  HRESULT result = E_FAIL;
  Fetch(origin.Url(L"/page.html"), result);
  ASSERT_EQ(1u, RowsOnceFinished(1).size());
  const std::wstring file = NewTemporaryFile(L".elf");
  const HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(handle, "elf1.0.1", 8, &written, nullptr);
  CloseHandle(handle);

  CDialogAnswer load(L"Open", IDOK, file);
  CDialogAnswer refusal(L"", IDOK);
  Command(kCommandLoad);
  load.Texts();
  DeleteFileW(file.c_str());
  EXPECT_EQ(L"File isn't eif file", refusal.Text());
  EXPECT_EQ(1u, Rows().size());
}

// Wine's http handler reports a refused connection without WinINet's error number
// (12029 on Windows), so the row says "(Aborted)".
TEST_F(CaptureTest, MissingPageAndRefusedPortAreRowsWithTheirResults) {
  CLoopbackOrigin origin(1);
  Command(kCommandStart);
  HRESULT result = S_OK;
  Fetch(origin.Url(L"/missing"), result);
  const std::wstring refused = L"http://127.0.0.1:" + std::to_wstring(RefusingPort()) + L"/refused";
  Fetch(refused, result);
  EXPECT_TRUE(FAILED(result));
  const auto rows = RowsOnceFinished(2);
  ASSERT_EQ(2u, rows.size());
  ASSERT_EQ(1u, origin.RequestHeads().size());
  EXPECT_EQ((GridRow{L"0", SentFor(origin.RequestHeads()[0]), L"GET", L"404", L"9", L"text/plain",
                     origin.Url(L"/missing"), L"127.0.0.1"}),
            WithoutTimes(rows[0]));
  EXPECT_EQ((GridRow{L"1", L"0", L"GET", L"(Aborted)", L"0", L"", refused, L"127.0.0.1"}), WithoutTimes(rows[1]));
}

// A request made while recording is off leaves no row: the one after it, recorded
// again, is the next row.
TEST_F(CaptureTest, StopEndsRecordingAndStopWithoutStartDoesNothing) {
  CLoopbackOrigin origin(3);
  Command(kCommandStop);
  EXPECT_TRUE(Checked(kCommandStop));
  HRESULT result = E_FAIL;
  Command(kCommandStart);
  Fetch(origin.Url(L"/page.html?first"), result);
  Command(kCommandStop);
  Fetch(origin.Url(L"/page.html?unrecorded"), result);
  Command(kCommandStart);
  Fetch(origin.Url(L"/page.html?again"), result);
  const auto rows = RowsOnceFinished(2);
  ASSERT_EQ(2u, rows.size());
  EXPECT_EQ(origin.Url(L"/page.html?first"), rows[0][8]);
  EXPECT_EQ(origin.Url(L"/page.html?again"), rows[1][8]);
}

TEST_F(CaptureTest, ClearEmptiesTheGridAndTheNextRequestIsItsFirstRow) {
  CLoopbackOrigin origin(3);
  Command(kCommandStart);
  HRESULT result = E_FAIL;
  Fetch(origin.Url(L"/moved"), result);
  ASSERT_EQ(2u, RowsOnceFinished(2).size());
  Command(kCommandClear);
  EXPECT_TRUE(Rows().empty());
  Fetch(origin.Url(L"/page.html?after-clear"), result);
  const auto rows = RowsOnceFinished(1);
  ASSERT_EQ(1u, rows.size());
  EXPECT_EQ(L"0", rows[0][0]);
  EXPECT_EQ(origin.Url(L"/page.html?after-clear"), rows[0][8]);
}

// Wine's http handler keeps a cacheable response in the WinINet URL cache (so the
// records get cache snapshots) but never answers from it: the second request goes to
// the server again, and no row says "(Cache)" or "304" as on Windows.
TEST_F(CaptureTest, CacheableResourceIsCachedButFetchedAgainUnderWine) {
  CLoopbackOrigin origin(2);
  const std::wstring url = origin.Url(L"/cached.css");
  Command(kCommandStart);
  HRESULT result = E_FAIL;
  EXPECT_EQ("body{margin:0}", Fetch(url, result));
  EXPECT_EQ("body{margin:0}", Fetch(url, result));
  const auto rows = RowsOnceFinished(2);
  ASSERT_EQ(2u, rows.size());
  EXPECT_EQ(2u, origin.RequestHeads().size());
  for (const GridRow& row : rows) {
    EXPECT_EQ((GridRow{L"GET", L"200", L"14", L"text/css", url}), GridRow(row.begin() + 4, row.begin() + 9));
  }
  DWORD size = 0;
  EXPECT_FALSE(GetUrlCacheEntryInfoW(url.c_str(), nullptr, &size));
  EXPECT_EQ(DWORD{ERROR_INSUFFICIENT_BUFFER}, GetLastError()) << "no cache entry for " << std::string(url.begin(), url.end());
  DeleteUrlCacheEntryW(url.c_str());
}

// The grid's rows as `tracewell show` prints them.
std::string PrintedRows(const std::vector<GridRow>& rows) {
  std::string text;
  for (const GridRow& row : rows) {
    for (const std::wstring& cell : row) text += std::string(cell.begin(), cell.end()) + "  ";
    text += "\r\n";
  }
  return text;
}

// The requests of the Linux test that made record_rows.txt (recorded_rows_test.cpp),
// in its order, give the rows `tracewell record` gave there, but for the refused
// connection's row: Wine's http handler reports it without WinINet's error number, so
// it says "(Aborted)" where the recorder (like Windows) says 12029; and urlmon names
// the server's address as it starts to connect, where the recorder gives an address
// only for a connection made. The session is then saved beside this program with the
// grid's rows as printed.
TEST_F(CaptureTest, SameRequestsAsUnderTheRecordCommandGiveItsRows) {
  CLoopbackOrigin origin(8);
  Command(kCommandStart);
  HRESULT result = E_FAIL;
  EXPECT_EQ("<html>hello</html>", Fetch(origin.Url(L"/page.html"), result));
  EXPECT_EQ("<html>hello</html>", Fetch(origin.Url(L"/moved"), result));
  for (PostMedium medium : {PostMedium::kGlobalMemory, PostMedium::kStream}) {
    CPostCallback post("name=value&x=1", medium);
    EXPECT_EQ("posted", Fetch(origin.Url(L"/form"), result, post.Callback()));
  }
  Fetch(origin.Url(L"/missing"), result);
  Fetch(L"http://127.0.0.1:" + std::to_wstring(RefusingPort()) + L"/refused", result);
  for (int fetch = 0; fetch < 2; ++fetch) EXPECT_EQ("body{margin:0}", Fetch(origin.Url(L"/cached.css"), result));
  const auto rows = RowsOnceFinished(9);
  DeleteUrlCacheEntryW(origin.Url(L"/cached.css").c_str());

  std::vector<std::string> expected = testing::MaskedRows(ReadText(ProgramFolder() + L"record_rows.txt"));
  ASSERT_EQ(9u, expected.size());
  expected[6] = std::regex_replace(expected[6], std::regex("  12029  (.*/refused)    $"), "  (Aborted)  $1  127.0.0.1  ");
  const std::string printed = PrintedRows(rows);
  EXPECT_EQ(expected, testing::MaskedRows(printed));

  const std::wstring session = ProgramFolder() + L"host-session";
  DeleteFileW((session + L".elf").c_str());
  CDialogAnswer save(L"Save As", IDOK, session);
  Command(kCommandSave);
  save.Texts();
  std::ofstream(std::filesystem::path(ProgramFolder() + L"host-rows.txt"), std::ios::binary) << printed;
}

TEST_F(CaptureTest, StartTwiceRecordsOnce) {
  CLoopbackOrigin origin(1);
  Command(kCommandStart);
  Command(kCommandStart);
  EXPECT_TRUE(Checked(kCommandStart));
  HRESULT result = E_FAIL;
  EXPECT_EQ("<html>hello</html>", Fetch(origin.Url(L"/page.html"), result));
  const auto rows = RowsOnceFinished(1);
  ASSERT_EQ(1u, rows.size());
  EXPECT_EQ(L"200", rows[0][5]);
}

// Requests on several threads at once, each with its own binding: every one is a row
// with its own URL and result, and every body arrives whole.
TEST_F(CaptureTest, ParallelRequestsAreEachTheirOwnRow) {
  constexpr int kThreads = 4;
  constexpr int kPerThread = 5;
  CLoopbackOrigin origin(kThreads * kPerThread);
  Command(kCommandStart);
  std::vector<std::thread> threads;
  std::atomic<int> intact{0};
  for (int thread = 0; thread < kThreads; ++thread) {
    threads.emplace_back([&, thread] {
      CoInitializeEx(nullptr, COINIT_MULTITHREADED);
      for (int request = 0; request < kPerThread; ++request) {
        HRESULT result = E_FAIL;
        const std::wstring url = origin.Url(L"/page.html?") + std::to_wstring(thread * kPerThread + request);
        if (Fetch(url, result) == "<html>hello</html>") ++intact;
      }
      CoUninitialize();
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(kThreads * kPerThread, intact);
  const auto rows = RowsOnceFinished(kThreads * kPerThread);
  ASSERT_EQ(static_cast<std::size_t>(kThreads * kPerThread), rows.size());
  std::set<std::wstring> urls;
  for (const GridRow& row : rows) {
    EXPECT_EQ(L"200", row[5]);
    EXPECT_EQ(L"18", row[6]);
    urls.insert(row[8]);
  }
  EXPECT_EQ(static_cast<std::size_t>(kThreads * kPerThread), urls.size());
}

// Taking the site away unregisters both schemes but leaves the switch on: Start then
// changes nothing until Stop has turned it off.
TEST_F(CaptureTest, RemovingTheSiteWhileRecordingStopsTheCapture) {
  CLoopbackOrigin origin(4);
  Command(kCommandStart);
  ASSERT_EQ(S_OK, SetSite(nullptr));
  HRESULT result = E_FAIL;
  Fetch(origin.Url(L"/page.html?unsited"), result);
  ASSERT_EQ(S_OK, SetSite(m_site.Unknown()));
  Command(kCommandStart);
  Fetch(origin.Url(L"/page.html?switch-still-on"), result);
  Command(kCommandStop);
  Command(kCommandStart);
  Fetch(origin.Url(L"/page.html?recorded"), result);
  Fetch(L"https://127.0.0.1:" + std::to_wstring(RefusingPort()) + L"/secure", result);
  const auto rows = RowsOnceFinished(2);
  ASSERT_EQ(2u, rows.size());
  EXPECT_EQ(origin.Url(L"/page.html?recorded"), rows[0][8]);
  EXPECT_EQ(L"https://127.0.0.1:", rows[1][8].substr(0, 18));
}

}  // namespace
}  // namespace tracewell::win::test
