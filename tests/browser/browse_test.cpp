// A real headless Chromium, launched and recorded from inside, against a site served
// by the tests' own origin on 127.0.0.1. The browser reaches loopback addresses only:
// every other name fails to resolve inside the browser, so nothing leaves the machine.

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <sstream>

#include "browse_runner.h"
#include "capture/capture_queue.h"
#include "capture/capture_receiver.h"
#include "capture/capture_registration.h"
#include "capture/no_cache_store.h"
#include "cli/session_output.h"
#include "session_io/session_file.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"
#include "support/test_origin.h"
#include "system_clock.h"
#include "text/utf8.h"

namespace tracewell::testing {
namespace {

using namespace std::chrono_literals;
using browser::CBrowseRunner;

constexpr auto kLoadLimit = 30s;

std::string Narrow(const std::u16string& text) { return ToUtf8(text); }

// A whole picture of one grey pixel; the browser keeps the bytes of pictures it can
// decode.
const std::string kPixelPng(
    "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x01\x00\x00\x00\x01\x08\x00\x00\x00\x00\x3a\x7e\x9b\x55"
    "\x00\x00\x00\x0a\x49\x44\x41\x54\x78\x9c\x63\x60\x00\x00\x00\x02\x00\x01\x48\xaf\xa4\x71\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82",
    67);

// The site: a page with a style sheet, a script, images, a frame, a redirected image,
// and a script that fetches JSON, posts a form both ways, asks for a missing page and
// for a resource that is revalidated by its tag.
void ServeSite(TestOrigin& origin) {
  origin.SetResponse("/site/index.html",
                     "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n"
                     "Set-Cookie: session=abc; Path=/\r\nCache-Control: no-store\r\n",
                     "<!doctype html><html><head><title>Test site</title>"
                     "<link rel=stylesheet href=/site/style.css><script src=/site/app.js></script>"
                     "</head><body><form action=/echo method=post><input name=q value=v></form>"
                     "<img src=/site/logo.png><img src=/hop1>"
                     "<iframe src=/site/frame.html></iframe></body></html>");
  const std::string cached = "Cache-Control: max-age=600\r\n";
  origin.SetResponse("/site/style.css", "HTTP/1.1 200 OK\r\nContent-Type: text/css\r\n" + cached,
                     "p { color: teal }\n");
  origin.SetResponse("/site/app.js",
                     "HTTP/1.1 200 OK\r\nContent-Type: application/javascript\r\n" + cached,
                     "const read = (response) => response.text();\n"
                     "fetch('/site/api.json').then(read);\n"
                     "fetch('/echo', {method: 'POST', headers: {'Content-Type': "
                     "'application/x-www-form-urlencoded'}, body: 'a=1&b=two'}).then(read);\n"
                     "const form = new FormData(); form.append('field', 'value');\n"
                     "fetch('/echo?multipart', {method: 'POST', body: form}).then(read);\n"
                     "fetch('/missing').then(read);\nfetch('/etag').then(read);\n");
  origin.SetResponse("/site/logo.png", "HTTP/1.1 200 OK\r\nContent-Type: image/png\r\n" + cached,
                     std::string("\x89PNG\r\n\x1a\n", 8));
  origin.SetResponse("/site/end.png", "HTTP/1.1 200 OK\r\nContent-Type: image/png\r\n" + cached,
                     kPixelPng);
  origin.SetResponse("/site/frame.html", "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n" + cached,
                     "<html><body><p>frame</p></body></html>");
  origin.SetResponse("/site/api.json",
                     "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nCache-Control: no-store\r\n",
                     "{\"ok\":true}");
  origin.SetResponse("/hop1", "HTTP/1.1 302 Found\r\nLocation: /hop2\r\n", "");
  origin.SetResponse("/hop2", "HTTP/1.1 302 Found\r\nLocation: /site/end.png\r\n", "");
}

// The lines of a header block: the request line first, then the fields sorted.
std::vector<std::string> SortedLines(const std::string& block) {
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < block.size();) {
    const auto end = block.find("\r\n", at);
    if (end == std::string::npos) break;
    lines.push_back(block.substr(at, end - at));
    at = end + 2;
  }
  if (!lines.empty()) std::sort(lines.begin() + 1, lines.end());
  return lines;
}

// A port on 127.0.0.1 that nothing listens on.
unsigned short ClosedPort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  close(fd);
  return ntohs(address.sin_port);
}

// The launched browser with recording on, and the session its records reach.
class BrowseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ServeSite(origin);
    registration.StartCapture(queue);
    const auto profile = browser::CBrowserProfile::Kept(m_dir / "profile");
    ASSERT_TRUE(std::holds_alternative<browser::CBrowserProfile>(profile));
    const auto error = runner.Start(
        browser::LaunchSettings::For(std::get<browser::CBrowserProfile>(profile), true, true), kLoadLimit);
    ASSERT_FALSE(error) << *error;
  }

  void Load(const std::string& url) {
    ASSERT_EQ(runner.Load(url, kLoadLimit), CBrowseRunner::LoadResult::kSettled) << url << "\n" << Dump();
  }
  // Every record's URL and result so far, for a failure's message.
  std::string Dump() const {
    std::string text;
    for (const auto& fault : faults) text += "fault: " + fault + "\n";
    for (const auto& record : printer.Records()) {
      text += Narrow(record->m_strUrl) + " " + Narrow(record->m_strResult) + "\n";
    }
    return text;
  }
  // The records of `url`, in the order they started.
  std::vector<const CHttpTransaction*> RecordsOf(const std::string& url) const {
    std::vector<const CHttpTransaction*> found;
    for (const auto& record : printer.Records()) {
      if (Narrow(record->m_strUrl) == url) found.push_back(record.get());
    }
    return found;
  }
  const CHttpTransaction& Only(const std::string& url) const {
    const auto found = RecordsOf(url);
    EXPECT_EQ(found.size(), 1u) << url;
    static const CHttpTransaction kNone;
    return found.empty() ? kNone : *found.back();
  }
  const CHttpTransaction& Last(const std::string& url) const {
    const auto found = RecordsOf(url);
    EXPECT_FALSE(found.empty()) << url;
    static const CHttpTransaction kNone;
    return found.empty() ? kNone : *found.back();
  }
  bool AllFinished() const { return receiver.LiveRecords() == 0; }

  TestOrigin origin;
  std::ostringstream rows;
  cli::CRecordPrinter printer{rows, true};
  CCaptureReceiver receiver{printer};
  std::shared_ptr<CCaptureQueue> queue = std::make_shared<CCaptureQueue>();
  SystemClock clock;
  CNoCacheStore noCache;
  CSchemeBindings bindings;
  CCaptureRegistration registration{bindings, CaptureServices{clock, noCache}};
  CBrowseRunner runner{bindings,
                       [this] {
                         for (auto& message : queue->TakeAll()) receiver.Deliver(std::move(message));
                       },
                       [this](std::string_view reason) { faults.emplace_back(reason); }};
  std::vector<std::string> faults;

 private:
  TempDir m_dir;
};

TEST_F(BrowseTest, EveryRequestOfAPageIsARecordWithWhatTheBrowserSentAndGot) {
  Load(origin.Url("/site/index.html"));
  const auto& page = Only(origin.Url("/site/index.html"));
  EXPECT_EQ(page.m_strMethod, u"GET");
  EXPECT_EQ(page.m_strResult, u"200");
  EXPECT_EQ(page.m_strMimeType, u"text/html");
  EXPECT_EQ(page.m_strIpAddress, u"127.0.0.1");
  // The header block holds what the server received (the record keeps one CR LF at its
  // end); the browser reports the fields sorted by name, not in the order they went out.
  const auto heads = origin.Heads();
  const auto sent = std::find_if(heads.begin(), heads.end(), [](const std::string& head) {
    return head.starts_with("GET /site/index.html HTTP/1.1\r\n");
  });
  ASSERT_NE(sent, heads.end());
  EXPECT_EQ(SortedLines(Narrow(page.m_strRequestHeaders)), SortedLines(sent->substr(0, sent->size() - 2)));
  EXPECT_TRUE(Narrow(page.m_strResponseHeaders).starts_with("HTTP/1.1 200 OK\r\n"));
  EXPECT_NE(Narrow(page.m_strResponseHeaders).find("Set-Cookie: session=abc; Path=/\r\n"), std::string::npos);
  EXPECT_GT(page.m_nSize, 0);

  const auto& css = Only(origin.Url("/site/style.css"));
  EXPECT_EQ(css.m_strResult, u"200");
  EXPECT_EQ(css.m_strMimeType, u"text/css");
  EXPECT_EQ(Only(origin.Url("/site/app.js")).m_strMimeType, u"application/javascript");
  EXPECT_EQ(Only(origin.Url("/site/logo.png")).m_strMimeType, u"image/png");
  EXPECT_EQ(Only(origin.Url("/site/frame.html")).m_strResult, u"200");
  EXPECT_EQ(Only(origin.Url("/missing")).m_strResult, u"404");

  // The cookie the page set goes back with the script's request.
  const auto& api = Only(origin.Url("/site/api.json"));
  EXPECT_EQ(api.m_strMimeType, u"application/json");
  EXPECT_NE(Narrow(api.m_strRequestHeaders).find("Cookie: session=abc\r\n"), std::string::npos)
      << Narrow(api.m_strRequestHeaders);

  const auto& urlencoded = Only(origin.Url("/echo"));
  EXPECT_EQ(urlencoded.m_strMethod, u"POST");
  EXPECT_EQ(urlencoded.m_strPostData, u"a=1&b=two");
  const auto& multipart = Only(origin.Url("/echo?multipart"));
  EXPECT_EQ(multipart.m_strMethod, u"POST");
  EXPECT_NE(Narrow(multipart.m_strPostData).find("name=\"field\""), std::string::npos)
      << Narrow(multipart.m_strPostData);

  // Each hop of the redirect is a record of its own.
  EXPECT_EQ(Only(origin.Url("/hop1")).m_strResult, u"302");
  EXPECT_EQ(Only(origin.Url("/hop2")).m_strResult, u"302");
  EXPECT_EQ(Only(origin.Url("/site/end.png")).m_strResult, u"200");
  EXPECT_TRUE(AllFinished());

  // Each response body the browser got goes with its record: text and bytes alike,
  // a page that may not be stored too; a redirect hop has none.
  const auto body = [&](const char* path) -> std::string {
    const auto& record = Only(origin.Url(path));
    return record.m_pResponseBody ? *record.m_pResponseBody : "(none)";
  };
  EXPECT_TRUE(body("/site/index.html").starts_with("<!doctype html><html><head><title>Test site</title>"));
  EXPECT_EQ(body("/site/style.css"), "p { color: teal }\n");
  EXPECT_EQ(body("/site/api.json"), "{\"ok\":true}");
  EXPECT_EQ(body("/site/end.png"), kPixelPng);
  // A picture it could not decode the browser gives as empty: no body, rather than a
  // false empty one.
  EXPECT_EQ(body("/site/logo.png"), "(none)");
  EXPECT_EQ(body("/hop1"), "(none)");
}

TEST_F(BrowseTest, ASecondLoadShowsTheBrowsersCacheHitsAndItsRevalidation) {
  Load(origin.Url("/site/index.html"));
  // The browser writes its entries to disk on its own time: wait for them, bounded.
  const auto cached = [&](const char* path) {
    return TakeCacheSnapshot(runner.Session().CacheStore(), FromUtf8(origin.Url(path))) != nullptr;
  };
  ASSERT_TRUE(runner.RunUntil([&] { return cached("/site/style.css") && cached("/site/logo.png"); },
                              CBrowseRunner::Clock::now() + 10s));
  Load(origin.Url("/site/index.html"));
  for (const char* path : {"/site/style.css", "/site/app.js", "/site/logo.png"}) {
    ASSERT_EQ(RecordsOf(origin.Url(path)).size(), 2u) << path;
    EXPECT_EQ(Last(origin.Url(path)).m_strResult, u"(Cache)") << path;
  }
  // The cache hit's snapshots, before and after, are the browser's disk-cache entry.
  const auto& css = Last(origin.Url("/site/style.css"));
  ASSERT_NE(css.m_pCacheInfoBefore, nullptr);
  ASSERT_NE(css.m_pCacheInfoAfter, nullptr);
  for (const CacheEntrySnapshot* entry : {css.m_pCacheInfoBefore.get(), css.m_pCacheInfoAfter.get()}) {
    EXPECT_EQ(Narrow(entry->SourceUrlName), origin.Url("/site/style.css"));
    EXPECT_EQ(entry->SizeLow, 18u);
    EXPECT_EQ(entry->FileExtension, u"css");
    const std::string headers = Narrow(entry->HeaderInfo);
    EXPECT_TRUE(headers.starts_with("HTTP/1.1 200 OK\r\n")) << headers;
    EXPECT_NE(headers.find("\r\nCache-Control: max-age=600\r\n"), std::string::npos) << headers;
    EXPECT_EQ(entry->ExpireTime.ticks, entry->LastSyncTime.ticks + std::uint64_t{600} * 10'000'000);
  }
  EXPECT_EQ(css.m_pCacheInfoBefore->LocalFileName, css.m_pCacheInfoAfter->LocalFileName);
  EXPECT_EQ(runner.Session().CacheStore().ReadFileBytes(css.m_pCacheInfoAfter->LocalFileName, 100),
            "p { color: teal }\n");
  ASSERT_NE(css.m_pResponseBody, nullptr) << "a cache hit has its body too";
  EXPECT_EQ(*css.m_pResponseBody, "p { color: teal }\n");
  // A page that may not be stored has no entry.
  EXPECT_EQ(Last(origin.Url("/site/index.html")).m_pCacheInfoBefore, nullptr);
  EXPECT_EQ(RecordsOf(origin.Url("/etag")).front()->m_strResult, u"200");
  EXPECT_EQ(Last(origin.Url("/etag")).m_strResult, u"304");
  // The page itself is not stored: it comes from the server again.
  EXPECT_EQ(Last(origin.Url("/site/index.html")).m_strResult, u"200");
}

TEST_F(BrowseTest, ARefusedConnectionAndAStoppedLoadAreRecordedAsSuch) {
  const std::string refused = "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/";
  Load(refused);
  EXPECT_EQ(Only(refused).m_strResult, u"12029");

  // The page never answers; the user stops it.
  runner.Session().Navigate(origin.Url("/stall-header"));
  ASSERT_TRUE(runner.RunUntil([&] { return !RecordsOf(origin.Url("/stall-header")).empty(); },
                              CBrowseRunner::Clock::now() + kLoadLimit));
  runner.Session().Client().Send("Page.stopLoading", devtools::Json::object(), runner.Session().PageSession());
  ASSERT_TRUE(runner.RunUntil([&] { return AllFinished(); }, CBrowseRunner::Clock::now() + kLoadLimit));
  EXPECT_EQ(Only(origin.Url("/stall-header")).m_strResult, u"(Aborted)");
}

TEST_F(BrowseTest, ABrowserThatDiesMidLoadLeavesEveryRecordEnded) {
  Load(origin.Url("/site/index.html"));
  const std::size_t before = printer.Records().size();
  runner.Session().Navigate(origin.Url("/stall-header"));
  ASSERT_TRUE(runner.RunUntil([&] { return !RecordsOf(origin.Url("/stall-header")).empty(); },
                              CBrowseRunner::Clock::now() + kLoadLimit));
  runner.Session().Client().Send("Browser.crash", devtools::Json::object());
  ASSERT_TRUE(runner.RunUntil([&] { return !runner.IsOpen(); }, CBrowseRunner::Clock::now() + kLoadLimit));
  runner.Close(0ms);
  EXPECT_TRUE(AllFinished());
  EXPECT_EQ(Only(origin.Url("/stall-header")).m_strResult, u"(Aborted)");
  EXPECT_GT(printer.Records().size(), before);
  EXPECT_EQ(Only(origin.Url("/site/index.html")).m_strResult, u"200");  // the session is intact
}

// The command as a script runs it.
TEST(BrowseCommand, HeadlessLoadsSaveTheSessionAndAMissingBrowserIsNamed) {
  TestOrigin origin;
  ServeSite(origin);
  TempDir dir;
  setenv("XDG_DATA_HOME", dir.path().c_str(), 1);
  const std::string output = (dir / "site.har").string();
  const CliRun run = Cli({"browse", "--headless", "--loopback-only", "--quiet", "--timeout", "30",
                          origin.Url("/site/index.html"), "-o", output});
  EXPECT_EQ(run.code, 0) << run.err;
  const SystemClock clock;
  const auto loaded = LoadSessionFile(output, clock);
  ASSERT_FALSE(loaded.error) << loaded.error->message;
  EXPECT_GE(loaded.records.size(), 10u);
  EXPECT_TRUE(std::filesystem::is_empty(dir / "tracewell" / "profiles"));  // the fresh profile is gone

  const char* path = std::getenv("PATH");
  const std::string savedPath = path ? path : "";
  setenv("PATH", (dir / "nothing").c_str(), 1);
  const CliRun missing = Cli({"browse", "--headless", "http://127.0.0.1:1/", "-o", output});
  setenv("PATH", savedPath.c_str(), 1);
  EXPECT_EQ(missing.code, 1);
  EXPECT_NE(missing.err.find("install Debian's package 'chromium'"), std::string::npos) << missing.err;
}

}  // namespace
}  // namespace tracewell::testing
