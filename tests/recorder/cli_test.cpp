#include "cli/cli.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <sstream>
#include <thread>

#include "cli/progress_line.h"
#include "session_io/log_file.h"
#include "support/sample_session.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace tracewell::cli {
namespace {

using namespace std::string_literals;
using tracewell::testing::Cli;
using tracewell::testing::CliRun;
using tracewell::testing::ReadWholeFile;
using tracewell::testing::TempDir;
using tracewell::testing::WriteWholeFile;

std::string SaveToString(const TransactionArray& records) {
  StringByteSink sink;
  EXPECT_FALSE(WriteLogFile(records, sink).has_value());
  return sink.data();
}

TransactionArray TwoRecordSession() {
  TransactionArray session;
  auto first = std::make_unique<CHttpTransaction>();
  first->m_nSent = 310;
  first->m_nSize = 1000;
  first->m_strResult = u"200";
  first->m_strMethod = u"GET";
  first->m_strMimeType = u"text/html";
  first->m_strUrl = u"http://127.0.0.1:8080/caf\u00E9?q=1";
  first->m_strRequestHeaders = u"GET /caf\u00E9?q=1 HTTP/1.1\r\nCookie: a=1; b=2\r\n\r\n";
  first->m_strResponseHeaders = u"HTTP/1.1 200 OK\r\nSet-Cookie: id=7; path=/\r\n\r\n";
  first->m_strIpAddress = u"127.0.0.1";
  first->m_stStarted = {2026, 12, 1, 7, 9, 5, 3, 7};
  first->m_stEnded = {2026, 12, 1, 7, 9, 5, 4, 257};
  session.push_back(std::move(first));
  auto second = std::make_unique<CHttpTransaction>();  // still running when saved
  second->m_strMethod = u"POST";
  second->m_strUrl = u"http://127.0.0.1:8080/submit";
  second->m_stStarted = {2026, 12, 1, 7, 21, 0, 0, 0};
  session.push_back(std::move(second));
  return session;
}

TEST(Cli, VersionAndHelp) {
  EXPECT_EQ(Cli({"--version"}).out, "1.0.0.0\n");
  const CliRun overview = Cli({});
  EXPECT_EQ(overview.code, kExitDone);
  EXPECT_NE(overview.out.find("show"), std::string::npos);
  EXPECT_NE(overview.out.find("export"), std::string::npos);
  for (const char* command : {"show", "export"}) {
    const CliRun help = Cli({command, "--help"});
    EXPECT_EQ(help.code, kExitDone) << command;
    EXPECT_EQ(help.out.rfind("usage: tracewell "s + command, 0), 0u) << help.out;
  }
  EXPECT_NE(Cli({"show", "--help"}).out.find("--grep TEXT"), std::string::npos);
}

TEST(Cli, CompletesCommandsOptionsColumnsAndFiles) {
  auto complete = [](std::vector<std::string> line) {
    std::vector<std::string> args{"--complete", std::to_string(line.size() - 1)};
    args.insert(args.end(), line.begin(), line.end());
    return Cli(args).out;
  };
  EXPECT_EQ(complete({"tracewell", ""}), "record\nbrowse\nshow\nexport\nca\n--help\n--version\n");
  EXPECT_EQ(complete({"tracewell", "show", "a.elf", "--sort", ""}),
            "no\nstarted\nduration\nsent\nmethod\nresult\nsize\ntype\nurl\nip\n");
  const std::string caOptions = complete({"tracewell", "ca", "--"});
  EXPECT_EQ(caOptions.find("--help\n"), 0u) << caOptions;
  EXPECT_NE(caOptions.find("--export\n"), std::string::npos) << caOptions;
  EXPECT_EQ(complete({"tracewell", "export", "a.elf", "-o", ""}), "<file>\n");
  EXPECT_EQ(complete({"tracewell", "show", ""}), "<file>\n");
  EXPECT_EQ(complete({"tracewell", "frobnicate", ""}), "");
  EXPECT_EQ(Cli({"--complete", "x", "tracewell"}).code, kExitUsage);
}

TEST(Cli, UsageErrorsExitWithTwo) {
  const std::vector<std::vector<std::string>> misuses = {
      {"frobnicate"},
      {"show"},
      {"show", "a.elf", "b.elf"},
      {"show", "--bogus", "a.elf"},
      {"export", "a.elf"},
      {"export", "a.elf", "-o"},
      {"export", "a.elf", "-o", "out.bin"},
      {"export", "a.elf", "--format", "pdf", "-o", "out.pdf"},
      {"export", "a.elf", "-o", "x.elf", "-o", "y.elf"},
      {"export", "a.elf", "--sanitize", "-o", "x.xml"},
      {"show", "a.elf", "--record", "0"},
      {"show", "a.elf", "--tab", "header"},
      {"show", "a.elf", "--record", "-1", "--tab", "header"},
      {"show", "a.elf", "--record", "0", "--tab", "bodies"},
      {"export", "a.elf", "--no-bodies", "-o", "x.csv"},
      {"show", "a.elf", "--sort", "colour"},
      {"show", "a.elf", "--sort", "10"},
      {"show", "a.elf", "--descending"},
      {"show", "a.elf", "--combine", "and"},
      {"show", "a.elf", "--filter-status", "200", "--combine", "xor"},
      {"show", "a.elf", "--find", "x"},
      {"show", "a.elf", "--find", "x", "--scope", "content"},
      {"show", "a.elf", "--find", "", "--scope", "urls"},
      {"show", "a.elf", "--whole-word"},
      {"show", "a.elf", "--grep"},
  };
  for (const auto& args : misuses) {
    const CliRun run = Cli(args);
    EXPECT_EQ(run.code, kExitUsage) << args[0] << " " << args.size();
    EXPECT_FALSE(run.err.empty());
    EXPECT_TRUE(run.out.empty());
  }
}

TEST(CliShow, PrintsTheGridRowsAsCopyAllRowsWould) {
  TempDir dir;
  WriteWholeFile(dir / "s.elf", SaveToString(TwoRecordSession()));
  const CliRun run = Cli({"show", (dir / "s.elf").string()});
  EXPECT_EQ(run.code, kExitDone) << run.err;
  EXPECT_EQ(run.out,
            "0  9:5:3 7  1.250  310  GET  200  1000  text/html  "
            "http://127.0.0.1:8080/caf\xC3\xA9?q=1  127.0.0.1  \r\n"
            "1  21:0:0 0  0.000  0  POST    0    http://127.0.0.1:8080/submit    \r\n");
  EXPECT_TRUE(run.err.empty());
}

TEST(CliShow, SortsFiltersAndFindsAsTheWindowWould) {
  TempDir dir;
  const std::string file = (dir / "s.elf").string();
  TransactionArray session;
  const std::tuple<const char16_t*, const char16_t*, const char16_t*, std::int32_t, const char16_t*>
      rows[] = {
          {u"GET", u"200", u"text/html", 1000, u"http://h/Apple"},
          {u"POST", u"404", u"text/css", 200, u"http://h/pear"},
          {u"GET", u"200", u"image/png", 30, u"http://h/apple-pie"},
      };
  for (const auto& [method, result, type, size, url] : rows) {
    session.push_back(std::make_unique<CHttpTransaction>());
    session.back()->m_strMethod = method;
    session.back()->m_strResult = result;
    session.back()->m_strMimeType = type;
    session.back()->m_nSize = size;
    session.back()->m_strUrl = url;
  }
  WriteWholeFile(file, SaveToString(session));
  auto urls = [&](std::vector<std::string> options) {
    options.insert(options.begin(), {"show", file});
    const CliRun run = Cli(options);
    EXPECT_EQ(run.code, kExitDone) << run.err;
    std::string list;
    for (std::size_t at = run.out.find("http://h/"); at != std::string::npos;
         at = run.out.find("http://h/", at + 1)) {
      list += run.out.substr(at + 9, run.out.find(' ', at) - at - 9) + " ";
    }
    return list;
  };
  EXPECT_EQ(urls({"--sort", "size"}), "Apple pear apple-pie ");  // as text: 1000 < 200 < 30
  EXPECT_EQ(urls({"--sort", "url", "--descending"}), "pear apple-pie Apple ");
  EXPECT_EQ(urls({"--sort", "URL", "--descending"}), "pear apple-pie Apple ");
  EXPECT_EQ(urls({"--sort", "8"}), "Apple apple-pie pear ");
  EXPECT_EQ(urls({"--filter-status", "200"}), "Apple apple-pie ");
  EXPECT_EQ(urls({"--filter-status", "200", "--filter-type", "text/*", "--combine", "and"}), "Apple ");
  EXPECT_EQ(urls({"--filter-status", "304"}), "");
  EXPECT_EQ(urls({"--find", "apple", "--scope", "urls"}), "Apple apple-pie ");
  EXPECT_EQ(urls({"--find", "apple", "--scope", "urls", "--match-case"}), "apple-pie ");
  EXPECT_EQ(urls({"--find", "404", "--scope", "urls,result"}), "pear ");
  EXPECT_EQ(urls({"--grep", "APPLE"}), "Apple apple-pie ");
  EXPECT_EQ(urls({"--grep", "method:post"}), "pear ");
  EXPECT_EQ(urls({"--grep", "status:20"}), "Apple apple-pie ");
  EXPECT_EQ(urls({"--grep", "type:Image"}), "apple-pie ");
  EXPECT_EQ(urls({"--grep", "host:h"}), "Apple pear apple-pie ");
  EXPECT_EQ(urls({"--grep", "host:pear"}), "");  // the path is not the host
  EXPECT_EQ(urls({"--grep", ""}), "Apple pear apple-pie ");
  EXPECT_EQ(urls({"--grep", "apple", "--filter-type", "text/*"}), "Apple ");
  EXPECT_EQ(urls({"--grep", "apple", "--sort", "url", "--descending"}), "apple-pie Apple ");
  // Filtered rows are numbered from 0 as a rebuild numbers them.
  const CliRun filtered = Cli({"show", file, "--filter-type", "image/*"});
  EXPECT_EQ(filtered.out.substr(0, 3), "0  ");
  const CliRun grepped = Cli({"show", file, "--grep", "pear"});
  EXPECT_EQ(grepped.out.substr(0, 3), "0  ");
  // Find only picks rows: a found row keeps its number.
  const CliRun found = Cli({"show", file, "--find", "pear", "--scope", "urls"});
  EXPECT_EQ(found.out.substr(0, 3), "1  ");
}

TEST(CliShow, PrintsADetailTabOfOneRecord) {
  TempDir dir;
  const std::string file = (dir / "s.elf").string();
  WriteWholeFile(file, SaveToString(TwoRecordSession()));
  const std::pair<std::string, std::string> tabs[] = {
      {"header",
       "Request-Line  GET /caf\xC3\xA9?q=1 HTTP/1.1  \r\nCookie  a=1; b=2  \r\n"
       "Status-Line  HTTP/1.1 200 OK  \r\nSet-Cookie  id=7; path=/  \r\n"},
      {"cookies", "a  1  \r\nb  2  \r\nid  7  /      \r\n"},
      {"query", "q  1  \r\n"},
      {"post", ""},
      {"cache", ""},  // log files keep no cache entries
      {"body", "The request has no body.\nThe response's body was not stored.\n"},
  };
  for (const auto& [tab, expected] : tabs) {
    const CliRun run = Cli({"show", file, "--record", "0", "--tab", tab});
    EXPECT_EQ(run.code, kExitDone) << tab << run.err;
    EXPECT_EQ(run.out, expected) << tab;
  }
  const CliRun outside = Cli({"show", file, "--record", "2", "--tab", "header"});
  EXPECT_EQ(outside.code, kExitUsage);
  EXPECT_NE(outside.err.find("record 2 is not in the file, which holds 2 records"), std::string::npos);
}

TEST(CliShow, RefusedFilesPrintTheLoaderMessage) {
  TempDir dir;
  const std::pair<std::string, std::string> cases[] = {
      {"elf1.0.1\0\0\0\0"s, "File isn't eif file"},
      {"ELF1.0.2\0\0\0\0"s, "File's version is error"},
      {"ELF1.0.1\xFF\xFF\xFF\xFF"s, "file read error."},
  };
  for (const auto& [bytes, message] : cases) {
    WriteWholeFile(dir / "bad.elf", bytes);
    const CliRun run = Cli({"show", (dir / "bad.elf").string()});
    EXPECT_EQ(run.code, kExitFailed) << message;
    EXPECT_EQ(run.err, "tracewell: " + (dir / "bad.elf").string() + ": " + message + "\n");
    EXPECT_TRUE(run.out.empty());
  }
  const CliRun missing = Cli({"show", (dir / "absent.elf").string()});
  EXPECT_EQ(missing.code, kExitFailed);
  EXPECT_NE(missing.err.find("No such file or directory"), std::string::npos);
}

TEST(CliShow, DamagedFileShowsTheWholeRecordsAndFails) {
  TempDir dir;
  const std::string full = SaveToString(TwoRecordSession());
  WriteWholeFile(dir / "cut.elf", full.substr(0, full.size() - 10));
  const CliRun run = Cli({"show", (dir / "cut.elf").string()});
  EXPECT_EQ(run.code, kExitFailed);
  EXPECT_EQ(run.out.rfind("0  9:5:3 7  1.250", 0), 0u);
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1);
  EXPECT_NE(run.err.find("file read error."), std::string::npos);
}

TEST(CliExport, ElfRoundTripIsByteIdentical) {
  TempDir dir;
  const std::string original = SaveToString(tracewell::testing::MakeRealisticSession(20));
  WriteWholeFile(dir / "in.elf", original);
  const CliRun run = Cli({"export", (dir / "in.elf").string(), "--format", "elf", "-o",
                       (dir / "out.elf").string()});
  EXPECT_EQ(run.code, kExitDone) << run.err;
  EXPECT_EQ(ReadWholeFile(dir / "out.elf"), original);
  // The format also follows from the output's extension.
  EXPECT_EQ(Cli({"export", (dir / "in.elf").string(), "--output=" + (dir / "x.elf").string()}).code,
            kExitDone);
  EXPECT_EQ(ReadWholeFile(dir / "x.elf"), original);
}

TEST(CliExport, WritesEachFormatAsTheMenuWould) {
  TempDir dir;
  WriteWholeFile(dir / "in.elf", SaveToString(TwoRecordSession()));
  for (const char* format : {"xml", "csv", "txt"}) {
    const auto out = dir / (std::string("out.") + format);
    const CliRun run = Cli({"export", (dir / "in.elf").string(), "-o", out.string()});
    EXPECT_EQ(run.code, kExitDone) << format << run.err;
  }
  EXPECT_EQ(ReadWholeFile(dir / "out.csv"),
            "Started,Durations(s),Sent,Method,Result,Size,Type,URL,IpAddress\r\n"
            "9:5:3 7,1.250,310,GET,200,1000,text/html,http://127.0.0.1:8080/caf\xE9?q=1,127.0.0.1\r\n"
            "21:0:0 0,0.000,0,POST,,0,,http://127.0.0.1:8080/submit,\r\n");
  EXPECT_EQ(ReadWholeFile(dir / "out.txt").substr(0, 20), "Started Durations(s)");
  EXPECT_NE(ReadWholeFile(dir / "out.xml").find("<Cookie> a=1; b=2</Cookie>"), std::string::npos);
  // --format wins over the extension.
  EXPECT_EQ(Cli({"export", (dir / "in.elf").string(), "--format", "csv", "-o",
                 (dir / "table.dat").string()}).code, kExitDone);
  EXPECT_EQ(ReadWholeFile(dir / "table.dat"), ReadWholeFile(dir / "out.csv"));
}

TEST(CliExport, FailuresLeaveTheTargetAlone) {
  TempDir dir;
  const std::string full = SaveToString(TwoRecordSession());
  WriteWholeFile(dir / "cut.elf", full.substr(0, full.size() - 10));
  WriteWholeFile(dir / "out.elf", "precious");
  const CliRun damaged = Cli({"export", (dir / "cut.elf").string(), "-o", (dir / "out.elf").string()});
  EXPECT_EQ(damaged.code, kExitFailed);
  EXPECT_EQ(ReadWholeFile(dir / "out.elf"), "precious");

  WriteWholeFile(dir / "in.elf", full);
  const CliRun unwritable = Cli({"export", (dir / "in.elf").string(), "-o",
                              (dir / "missing" / "out.elf").string()});
  EXPECT_EQ(unwritable.code, kExitFailed);
  EXPECT_NE(unwritable.err.find("cannot write"), std::string::npos);
}

TEST(CliHar, ExportsShowsAndConvertsHarFiles) {
  TempDir dir;
  WriteWholeFile(dir / "in.elf", SaveToString(TwoRecordSession()));
  const std::string har = (dir / "s.har").string();
  const CliRun exported = Cli({"export", (dir / "in.elf").string(), "-o", har});
  EXPECT_EQ(exported.code, kExitDone) << exported.err;
  EXPECT_EQ(ReadWholeFile(har).rfind(R"({"log":{"version":"1.2",)", 0), 0u);

  // Every command that reads a session reads the HAR file as it read the log file.
  EXPECT_EQ(Cli({"show", har}).out, Cli({"show", (dir / "in.elf").string()}).out);
  const CliRun cookies = Cli({"show", har, "--record", "0", "--tab", "cookies"});
  EXPECT_EQ(cookies.out, "a  1  \r\nb  2  \r\nid  7  /      \r\n");
  EXPECT_EQ(Cli({"export", har, "-o", (dir / "again.har").string()}).code, kExitDone);
  EXPECT_EQ(ReadWholeFile(dir / "again.har"), ReadWholeFile(har));
  EXPECT_EQ(Cli({"export", har, "-o", (dir / "out.csv").string()}).code, kExitDone);
  EXPECT_EQ(ReadWholeFile(dir / "out.csv").substr(0, 10), "Started,Du");

  const CliRun sanitized = Cli({"export", har, "--sanitize", "-o", (dir / "clean.HAR").string()});
  EXPECT_EQ(sanitized.code, kExitDone) << sanitized.err;
  const std::string clean = ReadWholeFile(dir / "clean.HAR");
  EXPECT_NE(clean.find(R"({"name":"Cookie","value":""})"), std::string::npos);
  EXPECT_EQ(clean.find("a=1; b=2"), std::string::npos);
  EXPECT_EQ(Cli({"show", (dir / "clean.HAR").string()}).code, kExitDone);
}

TEST(CliHar, ShowsTheBodiesAHarFileCarriesAndExportsKeepThem) {
  TempDir dir;
  const std::string har = (dir / "bodies.har").string();
  WriteWholeFile(har, R"({"log":{"entries":[
    {"startedDateTime":"2026-12-01T06:20:31Z",
     "request":{"method":"POST","url":"http://127.0.0.1/api","httpVersion":"HTTP/1.1",
                "headers":[{"name":"Content-Type","value":"application/json"}],
                "postData":{"mimeType":"application/json","text":"{\"q\":[1]}"}},
     "response":{"status":200,"httpVersion":"HTTP/1.1",
                 "headers":[{"name":"Content-Type","value":"application/json; charset=utf-8"}],
                 "content":{"size":12,"mimeType":"application/json","text":"{\"ok\":true}"}}},
    {"startedDateTime":"2026-12-01T06:20:32Z","request":{"method":"GET","url":"http://127.0.0.1/i"},
     "response":{"status":200,"content":{"size":4,"mimeType":"application/octet-stream",
                                         "text":"AAEC/w==","encoding":"base64"}}}]}})");
  const CliRun json = Cli({"show", har, "--record", "0", "--tab", "body"});
  EXPECT_EQ(json.code, kExitDone) << json.err;
  EXPECT_EQ(json.out,
            "Request body: 9 bytes; JSON (UTF-8)\n{\n  \"q\": [\n    1\n  ]\n}\n"
            "Response body: 11 bytes, kept with the record; JSON (UTF-8)\n{\n  \"ok\": true\n}\n");
  EXPECT_EQ(Cli({"show", har, "--record", "1", "--tab", "body"}).out,
            "The request has no body.\n"
            "Response body: 4 bytes, kept with the record; binary, shown in hex\n"
            "00000000  00 01 02 ff" + std::string(39, ' ') + "|....|\n");

  const std::string again = (dir / "again.har").string();
  const std::string bare = (dir / "bare.har").string();
  EXPECT_EQ(Cli({"export", har, "-o", again}).code, kExitDone);
  EXPECT_EQ(Cli({"show", again, "--record", "0", "--tab", "body"}).out, json.out);
  EXPECT_NE(ReadWholeFile(again).find(R"("text":"AAEC/w==","encoding":"base64")"), std::string::npos);
  EXPECT_EQ(Cli({"export", har, "--no-bodies", "-o", bare}).code, kExitDone);
  EXPECT_EQ(ReadWholeFile(bare).find("AAEC"), std::string::npos);
  EXPECT_EQ(Cli({"show", bare, "--record", "1", "--tab", "body"}).out,
            "The request has no body.\nThe response's body was not stored.\n");
}

TEST(CliHar, RefusedHarFileSaysWhereAndWritesNothing) {
  TempDir dir;
  const std::string har = (dir / "bad.har").string();
  WriteWholeFile(har, R"({"log":{"entries":[{"request":{"method":"GET"}}]}})");
  WriteWholeFile(dir / "out.elf", "precious");
  const CliRun shown = Cli({"show", har});
  EXPECT_EQ(shown.code, kExitFailed);
  EXPECT_EQ(shown.err, "tracewell: " + har + ": log.entries[0].request.url is missing\n");
  EXPECT_TRUE(shown.out.empty());
  EXPECT_EQ(Cli({"export", har, "-o", (dir / "out.elf").string()}).code, kExitFailed);
  EXPECT_EQ(ReadWholeFile(dir / "out.elf"), "precious");
}

// A listening socket on a free loopback port, so that a command that wrongly went on
// to listen there fails at once instead of recording until it is stopped.
class BusyPort {
 public:
  BusyPort() : m_fd(socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    EXPECT_EQ(bind(m_fd, reinterpret_cast<sockaddr*>(&address), size), 0);
    EXPECT_EQ(listen(m_fd, 1), 0);
    EXPECT_EQ(getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &size), 0);
    m_port = ntohs(address.sin_port);
  }
  ~BusyPort() { close(m_fd); }
  std::string Address() const { return "127.0.0.1:" + std::to_string(m_port); }

 private:
  int m_fd;
  unsigned short m_port = 0;
};

TEST(CliRecord, RefusesAStoreSizeThatIsNoWholeNumberOfMegabytes) {
  for (const char* size : {"lots", "", "-1", "1.5", "1099511627777"}) {
    const CliRun run = Cli({"record", "--store-size", size});
    EXPECT_EQ(run.code, kExitUsage);
    EXPECT_EQ(run.err, std::string("tracewell record: --store-size needs a whole number of megabytes, not '") +
                           size + "'\n");
  }
  const CliRun both = Cli({"record", "--store-size", "5", "--no-store"});
  EXPECT_EQ(both.code, kExitUsage);
  EXPECT_EQ(both.err, "tracewell record: --store-size and --no-store exclude each other\n");
}

TEST(CliRecord, RefusesAnOutputItCouldNotSaveBeforeListening) {
  TempDir dir;
  WriteWholeFile(dir / "plain", "");
  const BusyPort port;
  const std::pair<std::filesystem::path, std::string> outputs[] = {
      {dir / "missing" / "x.elf", "No such file or directory"},
      {dir / "plain" / "x.elf", "Not a directory"},
      {dir.path(), "Is a directory"},
  };
  for (const auto& [output, reason] : outputs) {
    const CliRun run = Cli({"record", "--listen", port.Address(), "-o", output.string()});
    EXPECT_EQ(run.code, kExitFailed);
    EXPECT_EQ(run.err, "tracewell record: cannot write " + output.string() + ": " + reason + "\n");
  }
  // A writable folder passes the check and leaves no probe file behind. The command
  // blocks Ctrl+C and SIGTERM for its thread before it listens: give them back here.
  sigset_t mask;
  pthread_sigmask(SIG_SETMASK, nullptr, &mask);
  const CliRun busy = Cli({"record", "--listen", port.Address(), "--ca-dir", (dir / "ca").string(),
                           "--no-store", "-o", (dir / "ok.elf").string()});
  pthread_sigmask(SIG_SETMASK, &mask, nullptr);
  EXPECT_NE(busy.err.find("cannot listen on " + port.Address()), std::string::npos) << busy.err;
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);  // and ca/
}

// Enough records for the HAR export to take about a second, far longer than the test
// needs to see its temporary file and stop it.
constexpr std::uint32_t kStoppedExportRecords = 100'000;

// A big export stopped by SIGTERM once its temporary file exists: the command ends by
// the signal, the temporary file is gone and the old OUT is untouched.
TEST(CliProgress, TheLineIsRedrawnOnlyForANewPercentageAndErasedAtTheEnd) {
  std::ostringstream err;
  {
    CProgressLine line(err, "loading a.elf");
    for (const std::uint64_t done : {0u, 1u, 2u, 100u, 150u, 199u, 200u}) EXPECT_TRUE(line.Continue(done, 200));
  }
  EXPECT_EQ(err.str(),
            "\rtracewell: loading a.elf 0%\rtracewell: loading a.elf 1%\rtracewell: loading a.elf 50%"
            "\rtracewell: loading a.elf 75%"
            "\rtracewell: loading a.elf 99%\rtracewell: loading a.elf 100%\r" +
                std::string(29, ' ') + "\r");
  // Only the process's standard error on a terminal gets a line.
  EXPECT_EQ(ProgressLineFor(err, "loading a.elf", false), nullptr);
}

TEST(CliExport, StoppedBySignalRemovesItsTemporaryFile) {
  TempDir dir;
  {
    auto session = tracewell::testing::MakeRealisticSession(kStoppedExportRecords);
    ASSERT_FALSE(SaveLogFile(dir / "big.elf", session).has_value());
  }
  WriteWholeFile(dir / "out.har", "precious");
  const std::string input = (dir / "big.elf").string();
  const std::string output = (dir / "out.har").string();
  const pid_t pid = fork();
  if (pid == 0) {
    execl(TRACEWELL_BINARY, TRACEWELL_BINARY, "export", input.c_str(), "-o", output.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  const auto isTemporary = [](const std::filesystem::directory_entry& entry) {
    return entry.path().filename().string().starts_with("out.har.tmp-");
  };
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  bool writing = false;
  int status = 0;
  pid_t ended = 0;
  while (!writing && std::chrono::steady_clock::now() < deadline &&
         (ended = waitpid(pid, &status, WNOHANG)) == 0) {
    writing = std::ranges::any_of(std::filesystem::directory_iterator(dir.path()), isTemporary);
    if (!writing) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (ended == 0) {
    kill(pid, SIGTERM);
    waitpid(pid, &status, 0);
  }
  ASSERT_TRUE(writing) << "the export ended or never began writing; give it a bigger session";
  ASSERT_TRUE(WIFSIGNALED(status)) << "exit code " << WEXITSTATUS(status);
  EXPECT_EQ(WTERMSIG(status), SIGTERM);
  EXPECT_FALSE(std::ranges::any_of(std::filesystem::directory_iterator(dir.path()), isTemporary));
  EXPECT_EQ(ReadWholeFile(dir / "out.har"), "precious");
}

}  // namespace
}  // namespace tracewell::cli
