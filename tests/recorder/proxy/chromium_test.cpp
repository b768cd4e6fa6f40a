// A real browser as the client: headless Chromium loads a page with a style sheet
// from the tests' own origin through the recorder. The recorder reaches loopback
// addresses only, so whatever the browser asks of the outside world on its own is
// refused without a name being resolved; the checks look at the origin's records.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <thread>
#include <vector>

#include "proxy/interception.h"
#include "recorder_harness.h"
#include "support/test_certificates.h"
#include "support/tls_front.h"
#include "support/temp_dir.h"
#include "support/test_origin.h"
#include "text/code_page.h"

namespace tracewell::testing {
namespace {

constexpr auto kBrowserTimeLimit = std::chrono::seconds(30);

std::u16string Wide(std::string_view text) { return FromCodePage(text); }

std::optional<std::filesystem::path> FindProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string_view rest = path ? path : "";
  while (!rest.empty()) {
    const auto colon = rest.find(':');
    const std::filesystem::path candidate = std::filesystem::path(rest.substr(0, colon)) / name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    rest = colon == std::string_view::npos ? "" : rest.substr(colon + 1);
  }
  return std::nullopt;
}

// Runs Chromium on `url` through `proxyAddress` with a fresh profile in `dir` and
// returns the page's DOM as it printed it; the browser and its helpers are killed
// if they have not ended within the time limit.
std::string DumpDomThroughProxy(const std::filesystem::path& chromium, const TempDir& dir,
                                const std::string& proxyAddress, const std::string& url,
                                const std::string& extraFlag = "--no-default-browser-check") {
  // `extraFlag`: one more switch for the browser (the default one changes nothing).
  const std::string profile = (dir / "profile").string();
  const std::string output = (dir / "dom.html").string();
  const std::vector<std::string> args = {
      chromium.string(), "--headless=new", "--no-sandbox", "--user-data-dir=" + profile,
      "--proxy-server=http://" + proxyAddress, "--proxy-bypass-list=<-loopback>",
      "--disable-background-networking", "--disable-extensions", "--no-pings", "--no-first-run",
      "--disable-features=AutofillServerCommunication,NetworkTimeServiceQuerying,"
      "PasswordLeakDetection,OptimizationHints,MediaRouter,Translate",
      extraFlag, "--dump-dom", url};
  const pid_t pid = fork();
  if (pid == 0) {
    setpgid(0, 0);  // the browser's helpers join its group, so that one kill ends them all
    const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int null = open("/dev/null", O_WRONLY);
    dup2(out, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    std::vector<char*> argv;
    for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  setpgid(pid, pid);
  const auto deadline = std::chrono::steady_clock::now() + kBrowserTimeLimit;
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() >= deadline) {
      ADD_FAILURE() << "Chromium did not end within " << kBrowserTimeLimit.count() << " s";
      kill(-pid, SIGKILL);
      waitpid(pid, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  kill(-pid, SIGKILL);  // helpers left behind, if any
  return ReadWholeFile(output);
}

const CHttpTransaction* FindRecord(const TransactionArray& records, const std::u16string& url) {
  for (const auto& record : records) {
    if (record->m_strUrl == url) return record.get();
  }
  return nullptr;
}

TEST(RecorderWithChromium, PageAndStyleSheetAreRecordedAsTheBrowserSentThem) {
  const auto chromium = FindProgram("chromium");
  if (!chromium) GTEST_SKIP() << "chromium is not installed";
  TestOrigin origin;
  proxy::ProxyOptions options = TestProxyOptions();
  options.loopbackUpstreamOnly = true;
  RecorderHarness harness(options);
  TempDir dir;

  const std::string dom = DumpDomThroughProxy(*chromium, dir, harness.ProxyAddress(), origin.Url("/page"));
  EXPECT_NE(dom.find("<p>styled</p>"), std::string::npos) << dom;
  const auto& records = harness.Shutdown(std::chrono::seconds(2));

  const CHttpTransaction* page = FindRecord(records, Wide(origin.Url("/page")));
  const CHttpTransaction* style = FindRecord(records, Wide(origin.Url("/style.css")));
  ASSERT_NE(page, nullptr);
  ASSERT_NE(style, nullptr);
  EXPECT_EQ(page->m_strMethod, u"GET");
  EXPECT_EQ(page->m_strResult, u"200");
  EXPECT_EQ(page->m_strMimeType, u"text/html");
  EXPECT_EQ(page->m_strIpAddress, u"127.0.0.1");
  EXPECT_TRUE(page->m_strRequestHeaders.starts_with(u"GET /page HTTP/1.1\r\n")) << ToCodePage(page->m_strRequestHeaders);
  EXPECT_EQ(style->m_strMethod, u"GET");
  EXPECT_EQ(style->m_strResult, u"200");
  EXPECT_EQ(style->m_strMimeType, u"text/css");
  EXPECT_EQ(style->m_nSize, 18);
  EXPECT_TRUE(style->m_strRequestHeaders.starts_with(u"GET /style.css HTTP/1.1\r\n"))
      << ToCodePage(style->m_strRequestHeaders);
  // The browser's own fields pass unchanged: the style sheet names the page it is for.
  EXPECT_NE(style->m_strRequestHeaders.find(u"\r\nReferer: " + Wide(origin.Url("/page")) + u"\r\n"),
            std::u16string::npos)
      << ToCodePage(style->m_strRequestHeaders);

  // Each recorded request block is exactly what reached the origin.
  std::vector<std::u16string> received;
  for (const std::string& head : origin.Heads()) received.push_back(Wide(head.substr(0, head.size() - 2)));
  for (const CHttpTransaction* record : {page, style}) {
    EXPECT_NE(std::find(received.begin(), received.end(), record->m_strRequestHeaders), received.end())
        << ToCodePage(record->m_strRequestHeaders);
  }
}

TEST(RecorderWithChromium, AnHttpsPageIsRecordedInTheClear) {
  const auto chromium = FindProgram("chromium");
  if (!chromium) GTEST_SKIP() << "chromium is not installed";
  TempDir dir;
  TestOrigin origin;
  const TestCertificates certificates(dir / "origins");
  const LeafFiles leaf = certificates.Leaf("127.0.0.1", LeafKind::Good);
  const TlsFront front(origin.Port(), leaf.chainPem, leaf.keyPem);
  proxy::InterceptionSettings https;
  https.authorityDirectory = dir / "ca";
  https.upstreamAuthorities = {certificates.OriginCaPem()};
  proxy::ProxyOptions options = TestProxyOptions();
  options.loopbackUpstreamOnly = true;
  options.interception = proxy::CInterception::Make(https).interception;
  ASSERT_TRUE(options.interception);
  RecorderHarness harness(options);

  // The browser trusts the recorder's authority by its key, as a user's would once imported.
  const std::string dom =
      DumpDomThroughProxy(*chromium, dir, harness.ProxyAddress(), front.Url("/page"),
                          "--ignore-certificate-errors-spki-list=" +
                              options.interception->Authority().SpkiSha256Base64());
  EXPECT_NE(dom.find("<p>styled</p>"), std::string::npos) << dom;
  const auto& records = harness.Shutdown(std::chrono::seconds(2));
  const CHttpTransaction* page = FindRecord(records, Wide(front.Url("/page")));
  const CHttpTransaction* style = FindRecord(records, Wide(front.Url("/style.css")));
  std::string seen;
  for (const auto& record : records) seen += ToCodePage(record->m_strUrl + u" " + record->m_strResult) + "\n";
  ASSERT_NE(page, nullptr) << seen;
  ASSERT_NE(style, nullptr);
  EXPECT_EQ(page->m_strResult, u"200");
  EXPECT_EQ(page->m_strMimeType, u"text/html");
  EXPECT_EQ(style->m_strResult, u"200");
  EXPECT_EQ(style->m_nSize, 18);
  EXPECT_NE(style->m_strRequestHeaders.find(u"\r\nReferer: " + Wide(front.Url("/page")) + u"\r\n"),
            std::u16string::npos)
      << ToCodePage(style->m_strRequestHeaders);
  // The tunnel to the page's origin makes no record of its own (the browser's own
  // tunnels elsewhere are refused, and recorded so).
  EXPECT_EQ(FindRecord(records, Wide("127.0.0.1:" + std::to_string(front.Port()))), nullptr) << seen;
}

}  // namespace
}  // namespace tracewell::testing
