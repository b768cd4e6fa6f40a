// The rows the Windows test host's grid is compared with: the requests the host makes
// under Wine (same methods, paths, bodies and answers), sent by curl through the
// Linux `tracewell record`, as `tracewell show` prints the session it saved. Checks
// tests/win/expected/record_rows.txt against a fresh run, so that the file cannot
// drift from what the recorder does; TRACEWELL_WRITE_EXPECTATION=1 writes it anew.
//
// The rows here are the recorder's. Where the Windows library's must differ, the
// host's test says so next to its comparison, both on the refused connection's row:
// Wine's http handler reports it as "(Aborted)" where the recorder (like WinINet on
// Windows) says 12029, and urlmon names the server's address as it starts to connect
// where the recorder names one only for a connection made. What the proxy sees that
// a browser's own networking layer does not (the proxy form of the request line,
// hop-by-hop fields, curl's own fields) shows only in Sent, which is masked.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

#include "origin_resources.h"
#include "session_rows.h"
#include "support/proxy_test_tools.h"
#include "support/temp_dir.h"
#include "support/test_origin.h"

extern "C" char** environ;

namespace tracewell::testing {
namespace {

const std::string kExpectation = TRACEWELL_WIN_EXPECTED "/record_rows.txt";

// `tracewell record` on a free loopback port into `output`, its standard error piped.
struct Recording {
  pid_t pid = -1;
  int stderrFd = -1;
};

Recording StartRecording(const std::string& output) {
  int pipeFds[2];
  EXPECT_EQ(0, pipe(pipeFds));
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDERR_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
  const char* argv[] = {TRACEWELL_BINARY, "record", "--listen", "127.0.0.1:0", "--quiet", "--no-intercept",
                        "--no-store", "-o", output.c_str(), nullptr};
  Recording recording;
  EXPECT_EQ(0, posix_spawn(&recording.pid, TRACEWELL_BINARY, &actions, nullptr, const_cast<char**>(argv), environ));
  posix_spawn_file_actions_destroy(&actions);
  close(pipeFds[1]);
  recording.stderrFd = pipeFds[0];
  return recording;
}

// The proxy's address, from the line the command starts with.
std::string ProxyAddress(const Recording& recording) {
  std::string line;
  char c;
  while (read(recording.stderrFd, &c, 1) == 1 && c != '\n') line += c;
  std::smatch address;
  EXPECT_TRUE(std::regex_search(line, address, std::regex("127\\.0\\.0\\.1:[0-9]+"))) << line;
  return address.empty() ? std::string() : address.str();
}

// Ctrl+C: the command saves the session and ends.
void StopRecording(const Recording& recording) {
  kill(recording.pid, SIGINT);
  int status = 0;
  waitpid(recording.pid, &status, 0);
  close(recording.stderrFd);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

std::string ShowSession(const std::string& file) {
  const std::string command = std::string(TRACEWELL_BINARY) + " show " + file;
  FILE* pipe = popen(command.c_str(), "r");
  std::string text;
  char buffer[4096];
  for (std::size_t got; pipe != nullptr && (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
    text.append(buffer, got);
  }
  if (pipe != nullptr) {
    EXPECT_EQ(0, pclose(pipe));
  }
  return text;
}

// A loopback port where nothing listens.
unsigned short RefusingPort() {
  proxy::asio::io_context io;
  proxy::tcp::acceptor probe(io, proxy::tcp::endpoint(proxy::asio::ip::address_v4::loopback(), 0));
  return probe.local_endpoint().port();
}

std::string ReadText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

TEST(WindowsHostExpectation, RecordShowsTheRowsTheHostsGridIsComparedWith) {
  TestOrigin origin;
  for (const OriginResource& resource : kOriginResources) {
    origin.SetResponse(std::string(resource.path), std::string(resource.head), std::string(resource.body));
  }
  origin.SetResponse(std::string(kNotFoundResource.path), std::string(kNotFoundResource.head),
                     std::string(kNotFoundResource.body));
  TempDir dir;
  const std::string output = (dir / "session.elf").string();
  const Recording recording = StartRecording(output);
  const std::string proxy = ProxyAddress(recording);

  // The host's requests, in its order: a page, a redirect the client follows, the
  // same form posted twice, a missing page, a refused port, a cacheable resource twice.
  EXPECT_EQ("<html>hello</html>", Curl(proxy, origin.Url("/page.html")).output);
  EXPECT_EQ("<html>hello</html>", Curl(proxy, "-L " + origin.Url("/moved")).output);
  for (int post = 0; post < 2; ++post) {
    EXPECT_EQ("posted", Curl(proxy, "--data 'name=value&x=1' " + origin.Url("/form")).output);
  }
  EXPECT_EQ("not found", Curl(proxy, origin.Url("/missing")).output);
  Curl(proxy, "http://127.0.0.1:" + std::to_string(RefusingPort()) + "/refused");
  for (int fetch = 0; fetch < 2; ++fetch) {
    EXPECT_EQ("body{margin:0}", Curl(proxy, origin.Url("/cached.css")).output);
  }
  StopRecording(recording);

  const std::vector<std::string> rows = MaskedRows(ShowSession(output));
  ASSERT_EQ(9u, rows.size());
  if (const char* write = std::getenv("TRACEWELL_WRITE_EXPECTATION"); write != nullptr && *write == '1') {
    std::ofstream file(kExpectation, std::ios::binary);
    for (const std::string& row : rows) file << row << '\n';
  }
  EXPECT_EQ(MaskedRows(ReadText(kExpectation)), rows);
}

}  // namespace
}  // namespace tracewell::testing
