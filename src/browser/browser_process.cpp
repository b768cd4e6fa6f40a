#include "browser_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <system_error>
#include <thread>

extern char** environ;

namespace tracewell::browser {
namespace {

constexpr int kBrowserReads = 3;
constexpr int kBrowserWrites = 4;
// Descriptors at or above this are never the child's 0..4, so dup2 always makes a
// new descriptor without the close-on-exec flag.
constexpr int kFirstFreeDescriptor = 10;

std::string ErrnoText(int error) { return std::generic_category().message(error); }

// `name` itself when it holds a slash, else the first executable file of that name in
// a folder of PATH.
std::optional<std::string> FindExecutable(const std::string& name) {
  if (name.find('/') != std::string::npos) {
    if (access(name.c_str(), X_OK) == 0) return name;
    return std::nullopt;
  }
  const char* path = std::getenv("PATH");
  std::string_view folders = path ? path : "/usr/bin:/bin";
  while (true) {
    const auto colon = folders.find(':');
    std::string folder(folders.substr(0, colon));
    if (folder.empty()) folder = ".";
    const std::string candidate = folder + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    if (colon == std::string_view::npos) return std::nullopt;
    folders.remove_prefix(colon + 1);
  }
}

// A close-on-exec duplicate of `fd` at kFirstFreeDescriptor or above; `fd` is closed.
int MoveHigh(int fd) {
  const int high = fcntl(fd, F_DUPFD_CLOEXEC, kFirstFreeDescriptor);
  close(fd);
  return high;
}

class SpawnActions {
 public:
  SpawnActions() { posix_spawn_file_actions_init(&m_actions); }
  ~SpawnActions() { posix_spawn_file_actions_destroy(&m_actions); }
  SpawnActions(const SpawnActions&) = delete;
  SpawnActions& operator=(const SpawnActions&) = delete;
  posix_spawn_file_actions_t* get() { return &m_actions; }

 private:
  posix_spawn_file_actions_t m_actions;
};

class SpawnAttributes {
 public:
  SpawnAttributes() { posix_spawnattr_init(&m_attributes); }
  ~SpawnAttributes() { posix_spawnattr_destroy(&m_attributes); }
  SpawnAttributes(const SpawnAttributes&) = delete;
  SpawnAttributes& operator=(const SpawnAttributes&) = delete;
  posix_spawnattr_t* get() { return &m_attributes; }

 private:
  posix_spawnattr_t m_attributes;
};

}  // namespace

std::string MissingBrowserText(const std::string& executable) {
  return "cannot start " + executable +
         ": it is not installed (install Debian's package 'chromium': "
         "sudo apt-get install chromium)";
}

std::variant<std::unique_ptr<CBrowserProcess>, std::string> CBrowserProcess::Start(
    const std::string& executable, const std::vector<std::string>& arguments,
    const std::filesystem::path& logFile) {
  const auto program = FindExecutable(executable);
  if (!program) return MissingBrowserText(executable);
  int ends[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
    return "cannot make the browser's pipe: " + ErrnoText(errno);
  }
  const int ours = MoveHigh(ends[0]);
  const int theirs = MoveHigh(ends[1]);
  if (ours < 0 || theirs < 0) {
    const int error = errno;
    if (ours >= 0) close(ours);
    if (theirs >= 0) close(theirs);
    return "cannot make the browser's pipe: " + ErrnoText(error);
  }

  SpawnActions actions;
  posix_spawn_file_actions_addopen(actions.get(), STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(actions.get(), STDOUT_FILENO, logFile.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_adddup2(actions.get(), STDOUT_FILENO, STDERR_FILENO);
  posix_spawn_file_actions_adddup2(actions.get(), theirs, kBrowserReads);
  posix_spawn_file_actions_adddup2(actions.get(), theirs, kBrowserWrites);
  SpawnAttributes attributes;
  posix_spawnattr_setflags(attributes.get(), POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK);
  posix_spawnattr_setpgroup(attributes.get(), 0);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(attributes.get(), &none);

  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program->c_str()));
  for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int error =
      posix_spawn(&pid, program->c_str(), actions.get(), attributes.get(), argv.data(), environ);
  close(theirs);
  if (error != 0) {
    close(ours);
    return "cannot start " + *program + " (its log " + logFile.string() + "): " + ErrnoText(error);
  }
  return std::unique_ptr<CBrowserProcess>(new CBrowserProcess(pid, ours));
}

CBrowserProcess::~CBrowserProcess() {
  Stop(std::chrono::milliseconds(0));
  close(m_pipe);
}

bool CBrowserProcess::HasExited() {
  if (m_reaped) return true;
  int status = 0;
  const pid_t result = waitpid(m_pid, &status, WNOHANG);
  if (result == m_pid || (result < 0 && errno == ECHILD)) m_reaped = true;
  return m_reaped;
}

void CBrowserProcess::Stop(std::chrono::milliseconds grace) {
  const auto deadline = std::chrono::steady_clock::now() + grace;
  while (!HasExited() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  // The group goes too when the browser itself has ended: its helpers may outlive it.
  kill(-m_pid, SIGKILL);
  if (!m_reaped) {
    int status = 0;
    while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
    m_reaped = true;
  }
}

}  // namespace tracewell::browser
