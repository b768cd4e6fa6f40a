// `tracewell record` as a user runs it: the real command on a free loopback port, a
// request through it, Ctrl+C, and the session file it leaves.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <regex>

#include "cli/session_file.h"
#include "recorder_harness.h"
#include "support/temp_dir.h"
#include "support/test_origin.h"

namespace tracewell::testing {
namespace {

struct RunningCommand {
  pid_t pid;
  int stderrFd;
};

RunningCommand StartRecord(const std::string& output) {
  int pipeFds[2];
  EXPECT_EQ(pipe(pipeFds), 0);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(pipeFds[1], STDERR_FILENO);
    close(pipeFds[0]);
    execl(TRACEWELL_BINARY, TRACEWELL_BINARY, "record", "--listen", "127.0.0.1:0", "--quiet",
          "-o", output.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipeFds[1]);
  return {pid, pipeFds[0]};
}

// The first line the command writes names its address.
std::string ReadFirstLine(int fd) {
  std::string line;
  char c;
  while (read(fd, &c, 1) == 1 && c != '\n') line += c;
  return line;
}

TEST(RecordCommand, RecordsUntilCtrlCAndSavesTheSession) {
  TestOrigin origin;
  TempDir dir;
  const std::string output = (dir / "session.elf").string();
  const RunningCommand command = StartRecord(output);
  const std::string banner = ReadFirstLine(command.stderrFd);
  std::smatch address;
  ASSERT_TRUE(std::regex_search(banner, address, std::regex("127\\.0\\.0\\.1:[0-9]+"))) << banner;

  EXPECT_EQ(Curl(address.str(), origin.Url("/hello")).output, "<p>hello</p>");
  EXPECT_EQ(Curl(address.str(), origin.Url("/chunked")).exitCode, 0);
  kill(command.pid, SIGINT);
  int status = 0;
  waitpid(command.pid, &status, 0);
  close(command.stderrFd);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);

  std::ostringstream errors;
  const auto session = cli::LoadSessionFile(output, errors);
  ASSERT_TRUE(session.has_value()) << errors.str();
  ASSERT_EQ(session->records.size(), 2u);
  EXPECT_EQ(session->records[0]->m_strResult, u"200");
  EXPECT_EQ(session->records[1]->m_nSize, 26);
}

}  // namespace
}  // namespace tracewell::testing
