// HAR files checked by real outside tools: the published HAR 1.2 schema validates
// what Tracewell writes, and a HAR file built from a headless Chromium's own network
// events imports, shows the same requests and survives export -> import -> export.
// Needs node with the npm packages of package.json (NODE_PATH) and chromium.

#include <gtest/gtest.h>

#include <cstdlib>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/cli.h"
#include "session_io/har_export.h"
#include "session_io/session_formats.h"
#include "support/cli_run.h"
#include "support/sample_session.h"
#include "support/temp_dir.h"
#include "system_clock.h"

namespace tracewell {
namespace {

using testing::Cli;
using testing::CliRun;

using Json = nlohmann::json;
using testing::ReadWholeFile;
using testing::TempDir;

const std::string kScripts = TRACEWELL_HAR_SCRIPTS;

// Runs a node script; its output goes to `log` so that a failure can show it.
int RunNode(const std::string& script, const std::string& arguments, const std::filesystem::path& log) {
  const std::string command =
      "node '" + kScripts + "/" + script + "' " + arguments + " >'" + log.string() + "' 2>&1";
  return std::system(command.c_str());
}

std::string Quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

void Export(const TransactionArray& records, const std::filesystem::path& path, bool sanitize) {
  ASSERT_FALSE(WriteSessionFile(SessionFormat::kHar, path, records, SystemClock(), HarExportOptions{sanitize}));
}

TEST(HarSchema, ExportedSessionsValidate) {
  TempDir dir;
  Export(testing::MakeHarSampleSession(), dir / "sample.har", false);
  Export(testing::MakeHarSampleSession(), dir / "sanitized.har", true);
  Export(testing::MakeRealisticSession(200), dir / "realistic.har", false);
  Export({}, dir / "empty.har", false);
  // Bodies as text and in base64, beside whole cache snapshots.
  TransactionArray withBodies = testing::MakeHarSampleSession();
  withBodies[1]->m_pResponseBody = std::make_unique<std::string>("<p>Gr\xC3\xBC\xC3\x9F" "e</p>");
  withBodies[2]->m_pResponseBody = std::make_unique<std::string>("\x89PNG\r\n\x1A\n\0\xFF", 10);
  auto storedStyle = std::make_shared<CacheEntrySnapshot>(*withBodies[2]->m_pCacheInfoAfter);
  storedStyle->LocalFileName = u"/store/style-2";
  withBodies[2]->m_pCacheInfoAfter = storedStyle;
  Export(withBodies, dir / "bodies.har", false);
  const std::string files = Quoted(dir / "sample.har") + " " + Quoted(dir / "sanitized.har") + " " +
                            Quoted(dir / "realistic.har") + " " + Quoted(dir / "empty.har") + " " +
                            Quoted(dir / "bodies.har");
  EXPECT_EQ(RunNode("validate_har.js", files, dir / "log.txt"), 0) << ReadWholeFile(dir / "log.txt");
}

// The grid rows of `tracewell show`, each split into its ten columns.
std::vector<std::vector<std::string>> GridRows(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    std::vector<std::string> cells;
    for (std::size_t at = 0, end; (end = line.find("  ", at)) != std::string::npos; at = end + 2) {
      cells.push_back(line.substr(at, end - at));
    }
    rows.push_back(std::move(cells));
  }
  return rows;
}

// The result column a HAR entry should show.
std::string ExpectedResult(const Json& entry) {
  const int status = entry["response"]["status"];
  if (status != 0) return entry.contains("_fromCache") ? "(Cache)" : std::to_string(status);
  return "(Aborted)";  // the browser's error names are not the networking layer's
}

TEST(HarPeer, ChromiumHarImportsShowsTheSameRequestsAndRoundTrips) {
  TempDir dir;
  const auto peer = dir / "peer.har";
  ASSERT_EQ(RunNode("chromium_har.js", Quoted(peer), dir / "chromium.txt"), 0)
      << ReadWholeFile(dir / "chromium.txt");
  const Json entries = Json::parse(ReadWholeFile(peer))["log"]["entries"];

  const CliRun shown = Cli({"show", peer.string()});
  ASSERT_EQ(shown.code, cli::kExitDone) << shown.err;
  const auto rows = GridRows(shown.out);
  ASSERT_EQ(rows.size(), entries.size());
  std::vector<std::string> seen;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    ASSERT_EQ(rows[i].size(), 10u) << i;
    const Json& entry = entries[i];
    const std::string method = entry["request"]["method"];
    EXPECT_EQ(rows[i][4], method == "GET" || method == "POST" ? method : "") << i;
    EXPECT_EQ(rows[i][5], ExpectedResult(entry)) << i;
    EXPECT_EQ(rows[i][8], entry["request"]["url"]) << i;
    const std::string url = rows[i][8];
    seen.push_back(rows[i][4] + " " + url.substr(url.find('/', 7)) + " " + rows[i][5]);
  }
  for (const char* request : {"GET /start 302", "GET /page 200", "GET /style.css 200", "GET /app.js 200",
                              "POST /submit?step=1 200", "GET /refused (Aborted)", "GET /slow (Aborted)",
                              "GET /second 200", "GET /style.css (Cache)"}) {
    EXPECT_NE(std::find(seen.begin(), seen.end(), request), seen.end()) << request;
  }

  // The detail tabs take the imported header blocks apart as they would a capture.
  const auto post = std::find(seen.begin(), seen.end(), "POST /submit?step=1 200") - seen.begin();
  const CliRun form = Cli({"show", peer.string(), "--record", std::to_string(post), "--tab", "post"});
  EXPECT_EQ(form.out, "name  Ren%C3%A9e  \r\ncity  K\xC3\xB6ln  \r\n");
  const auto page = std::find(seen.begin(), seen.end(), "GET /page 200") - seen.begin();
  const CliRun cookies = Cli({"show", peer.string(), "--record", std::to_string(page), "--tab", "cookies"});
  EXPECT_EQ(cookies.out, "visit  1  \r\ntheme  dark  /    Fri, 01 Jan 2038 00:00:00 GMT  \r\n");

  const auto first = dir / "first.har";
  const auto second = dir / "second.har";
  ASSERT_EQ(Cli({"export", peer.string(), "-o", first.string()}).code, cli::kExitDone);
  ASSERT_EQ(Cli({"export", first.string(), "-o", second.string()}).code, cli::kExitDone);
  EXPECT_EQ(ReadWholeFile(second), ReadWholeFile(first));
  EXPECT_EQ(RunNode("validate_har.js", Quoted(peer) + " " + Quoted(first), dir / "log.txt"), 0)
      << ReadWholeFile(dir / "log.txt");
}

// The entry of `har` whose URL ends in `path`: its index, the record number too.
std::size_t EntryEndingIn(const Json& har, const std::string& path) {
  const Json& entries = har["log"]["entries"];
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i]["request"]["url"].get<std::string>().ends_with(path)) return i;
  }
  ADD_FAILURE() << "no entry for " << path;
  return 0;
}

TEST(HarPeer, PlaywrightReplaysAPageFromARecordedHarWithItsBodies) {
  TempDir dir;
  // Records the page through the recorder, then replays it from the HAR alone.
  ASSERT_EQ(RunNode("playwright_replay.js", Quoted(TRACEWELL_BINARY) + " " + Quoted(dir.path()),
                    dir / "playwright.txt"),
            0)
      << ReadWholeFile(dir / "playwright.txt");
  const auto har = dir / "recorded.har";
  EXPECT_EQ(RunNode("validate_har.js", Quoted(har), dir / "log.txt"), 0) << ReadWholeFile(dir / "log.txt");

  // The same bodies show in the command's Body tab, from the file itself.
  const Json recorded = Json::parse(ReadWholeFile(har));
  const CliRun style = Cli({"show", har.string(), "--record", std::to_string(EntryEndingIn(recorded, "/style.css")),
                            "--tab", "body", "--no-store"});
  EXPECT_EQ(style.out,
            "The request has no body.\nResponse body: 32 bytes, kept with the record; text (UTF-8)\n"
            "h1 { color: rgb(0, 128, 128); }\n");
  const CliRun picture = Cli({"show", har.string(), "--record", std::to_string(EntryEndingIn(recorded, "/dot.png")),
                              "--tab", "body", "--no-store"});
  EXPECT_TRUE(picture.out.starts_with("The request has no body.\nResponse body: 70 bytes, kept with the record; "
                                      "image (image/png)\n00000000  89 50 4e 47"))
      << picture.out;
}

}  // namespace
}  // namespace tracewell
