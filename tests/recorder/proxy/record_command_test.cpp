// `tracewell record` as a user runs it: the real command on a free loopback port, a
// request through it, Ctrl+C, and the session file it leaves, also when its folder is
// gone by then.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <regex>
#include <vector>

#include "cli/session_loading.h"
#include "recorder_harness.h"
#include "support/temp_dir.h"
#include "support/test_origin.h"

namespace tracewell::testing {
namespace {

struct RunningCommand {
  pid_t pid;
  int stderrFd;
};

extern "C" char** environ;

// Runs `tracewell record` into `output`; with `folder` as its current folder and
// `tmpdir` as $TMPDIR when they are given.
// `cacheHome`, when given, is $XDG_CACHE_HOME, and the response store is on.
RunningCommand StartRecord(const std::string& output, const std::string& folder = {},
                           const std::string& tmpdir = {}, const std::string& cacheHome = {}) {
  // Everything the child needs is built before fork: the test process has threads.
  std::vector<std::string> environment;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string_view variable(*entry);
    if (!variable.starts_with("TMPDIR=") && !(variable.starts_with("XDG_CACHE_HOME=") && !cacheHome.empty())) {
      environment.emplace_back(variable);
    }
  }
  if (!tmpdir.empty()) environment.push_back("TMPDIR=" + tmpdir);
  if (!cacheHome.empty()) environment.push_back("XDG_CACHE_HOME=" + cacheHome);
  std::vector<char*> envp;
  for (auto& entry : environment) envp.push_back(entry.data());
  envp.push_back(nullptr);
  // Saving is what these tests are about: no authority is made for HTTPS, no
  // response store is opened.
  const char* argv[] = {TRACEWELL_BINARY, "record", "--listen", "127.0.0.1:0", "--quiet", "--no-intercept",
                        cacheHome.empty() ? "--no-store" : "--store-size=16", "-o", output.c_str(), nullptr};

  int pipeFds[2];
  EXPECT_EQ(pipe(pipeFds), 0);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(pipeFds[1], STDERR_FILENO);
    close(pipeFds[0]);
    if (!folder.empty() && chdir(folder.c_str()) != 0) _exit(126);
    execve(TRACEWELL_BINARY, const_cast<char**>(argv), envp.data());
    _exit(127);
  }
  close(pipeFds[1]);
  return {pid, pipeFds[0]};
}

std::string ReadAll(int fd) {
  std::string text;
  char buffer[4096];
  for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(n));
  return text;
}

// The first line the command writes names its address.
std::string ReadFirstLine(int fd) {
  std::string line;
  char c;
  while (read(fd, &c, 1) == 1 && c != '\n') line += c;
  return line;
}

// The proxy address the command's first line names; empty when it names none.
std::string AddressOf(const RunningCommand& command) {
  const std::string banner = ReadFirstLine(command.stderrFd);
  std::smatch address;
  EXPECT_TRUE(std::regex_search(banner, address, std::regex("127\\.0\\.0\\.1:[0-9]+"))) << banner;
  return address.empty() ? std::string() : address.str();
}

// Stops the command as Ctrl+C does, expects it to end well, and reads what it saved.
std::optional<cli::LoadedSession> StopAndLoad(const RunningCommand& command, const std::string& output) {
  kill(command.pid, SIGINT);
  int status = 0;
  waitpid(command.pid, &status, 0);
  close(command.stderrFd);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  std::ostringstream errors;
  auto session = cli::LoadNamedSession(output, errors, true);
  EXPECT_TRUE(session.has_value()) << errors.str();
  return session;
}

// `tracewell show FILE --record N --tab body` and further arguments, with
// `cacheHome` as $XDG_CACHE_HOME; its standard output.
std::string ShowBody(const std::string& cacheHome, const std::string& file, int record,
                     const std::string& more = {}) {
  const std::string command = "XDG_CACHE_HOME='" + cacheHome + "' " + TRACEWELL_BINARY + " show '" + file +
                              "' --record " + std::to_string(record) + " --tab body " + more;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return {};
  std::string output;
  char buffer[4096];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, got);
  EXPECT_EQ(pclose(pipe), 0) << command;
  return output;
}

TEST(RecordCommand, RecordsUntilCtrlCAndSavesTheSession) {
  TestOrigin origin;
  TempDir dir;
  const std::string output = (dir / "session.elf").string();
  const RunningCommand command = StartRecord(output);
  const std::string address = AddressOf(command);
  EXPECT_EQ(Curl(address, origin.Url("/hello")).output, "<p>hello</p>");
  EXPECT_EQ(Curl(address, origin.Url("/chunked")).exitCode, 0);
  const auto session = StopAndLoad(command, output);
  ASSERT_TRUE(session.has_value());
  ASSERT_EQ(session->records.size(), 2u);
  EXPECT_EQ(session->records[0]->m_strResult, u"200");
  EXPECT_EQ(session->records[1]->m_nSize, 26);
}

TEST(RecordCommand, AHarSessionKeepsTheBodiesAndSnapshotsOfTheStore) {
  TestOrigin origin;
  TempDir dir;
  const std::string output = (dir / "session.har").string();
  const RunningCommand command = StartRecord(output, {}, {}, (dir / "cache").string());
  const std::string address = AddressOf(command);
  EXPECT_EQ(Curl(address, origin.Url("/hello")).output, "<p>hello</p>");
  EXPECT_EQ(Curl(address, origin.Url("/hello")).output, "<p>hello</p>");
  const auto session = StopAndLoad(command, output);
  ASSERT_TRUE(session.has_value());
  ASSERT_EQ(session->records.size(), 2u);
  for (const auto& record : session->records) {
    ASSERT_NE(record->m_pResponseBody, nullptr);
    EXPECT_EQ(*record->m_pResponseBody, "<p>hello</p>");
  }
  EXPECT_EQ(session->records[0]->m_pCacheInfoBefore, nullptr);
  ASSERT_NE(session->records[1]->m_pCacheInfoBefore, nullptr);
  EXPECT_EQ(*session->records[1]->m_pCacheInfoBefore, *session->records[0]->m_pCacheInfoAfter);
  // The file's own body shows, with or without the store.
  const std::string shown =
      "The request has no body.\nResponse body: 12 bytes, kept with the record; text (UTF-8)\n<p>hello</p>\n";
  EXPECT_EQ(ShowBody((dir / "cache").string(), output, 1), shown);
  EXPECT_EQ(ShowBody((dir / "elsewhere").string(), output, 1, "--no-store"), shown);
}

TEST(RecordCommand, ALogFileShowsTheBodiesTheStoreStillKeeps) {
  TestOrigin origin;
  TempDir dir;
  const std::string first = (dir / "first.elf").string();
  const std::string second = (dir / "second.elf").string();
  const std::string cache = (dir / "cache").string();
  const RunningCommand command = StartRecord(first, {}, {}, cache);
  EXPECT_EQ(Curl(AddressOf(command), origin.Url("/hello")).output, "<p>hello</p>");
  ASSERT_TRUE(StopAndLoad(command, first).has_value());

  // The store is read while another recorder has it open; once that one has kept a
  // later response for the URL, the store holds the first record's body no more.
  const std::string notStored = "The request has no body.\nThe response's body was not stored.\n";
  const RunningCommand again = StartRecord(second, {}, {}, cache);
  const std::string address = AddressOf(again);
  EXPECT_EQ(ShowBody(cache, first, 0),
            "The request has no body.\nResponse body: 12 bytes; text (UTF-8)\n<p>hello</p>\n");
  EXPECT_EQ(ShowBody(cache, first, 0, "--no-store"), notStored);
  EXPECT_EQ(ShowBody((dir / "elsewhere").string(), first, 0), notStored);
  origin.SetResponse("/hello", "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n", "later");
  EXPECT_EQ(Curl(address, origin.Url("/hello")).output, "later");
  ASSERT_TRUE(StopAndLoad(again, second).has_value());
  EXPECT_EQ(ShowBody(cache, first, 0), notStored);
  EXPECT_EQ(ShowBody(cache, second, 0), "The request has no body.\nResponse body: 5 bytes; text (UTF-8)\nlater\n");
}

// The folder of -o was fine at the start and is gone at Ctrl+C: the session goes to a
// file of its own in the current folder, or in $TMPDIR when that is gone too, and the
// command says where and fails, since FILE was not written.
TEST(RecordCommand, SavesToAFallbackWhenItsFileCannotBeWrittenAtTheEnd) {
  TestOrigin origin;
  for (const bool currentFolderGone : {false, true}) {
    SCOPED_TRACE(currentFolderGone ? "current folder gone" : "current folder kept");
    TempDir dir;
    for (const char* name : {"out", "here", "tmp"}) std::filesystem::create_directory(dir / name);
    const std::string output = (dir / "out" / "session.elf").string();
    const RunningCommand command =
        StartRecord(output, (dir / "here").string(), (dir / "tmp").string());
    const std::string banner = ReadFirstLine(command.stderrFd);
    std::smatch address;
    ASSERT_TRUE(std::regex_search(banner, address, std::regex("127\\.0\\.0\\.1:[0-9]+"))) << banner;

    std::filesystem::remove_all(dir / "out");
    if (currentFolderGone) std::filesystem::remove_all(dir / "here");
    EXPECT_EQ(Curl(address.str(), origin.Url("/hello")).output, "<p>hello</p>");
    kill(command.pid, SIGINT);
    const std::string messages = ReadAll(command.stderrFd);
    int status = 0;
    waitpid(command.pid, &status, 0);
    close(command.stderrFd);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1) << messages;

    const auto folder = dir / (currentFolderGone ? "tmp" : "here");
    const std::string fallback =
        (folder / ("tracewell-")).string() + "[0-9]{8}-[0-9]{6}-" + std::to_string(command.pid) + ".elf";
    std::smatch saved;
    ASSERT_TRUE(std::regex_search(messages, saved,
                                  std::regex("tracewell record: cannot write " + output +
                                             ": No such file or directory\n"
                                             "tracewell record: saved 1 records to (" +
                                             fallback + ") instead of " + output + "\n$")))
        << messages;
    std::ostringstream errors;
    const auto session = cli::LoadNamedSession(saved[1].str(), errors, true);
    ASSERT_TRUE(session.has_value()) << errors.str();
    ASSERT_EQ(session->records.size(), 1u);
    EXPECT_EQ(session->records[0]->m_strResult, u"200");
  }
}

}  // namespace
}  // namespace tracewell::testing
