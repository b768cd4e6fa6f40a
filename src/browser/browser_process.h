#pragma once
// A Chromium started by Tracewell with its debugging pipe: the browser reads commands
// on its descriptor 3 and writes replies and events on 4, both ends of one local
// socket here (a socket, so that writing to a browser that is gone is an error and
// not a signal). The browser runs in a process group of its own, so that ending it
// ends its helper processes too.

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace tracewell::browser {

class CBrowserProcess {
 public:
  // Starts `executable` (looked up on PATH when it holds no slash) with `arguments`;
  // its standard output and error go to `logFile`. The reason when it cannot start.
  static std::variant<std::unique_ptr<CBrowserProcess>, std::string> Start(
      const std::string& executable, const std::vector<std::string>& arguments,
      const std::filesystem::path& logFile);

  ~CBrowserProcess();
  CBrowserProcess(const CBrowserProcess&) = delete;
  CBrowserProcess& operator=(const CBrowserProcess&) = delete;

  // Tracewell's end of the pipe (owned by this object).
  int PipeDescriptor() const { return m_pipe; }
  pid_t Pid() const { return m_pid; }

  // True once the browser process has ended (it is reaped then).
  bool HasExited();
  // Waits up to `grace` for the browser to end by itself, then ends its whole
  // process group; the process is reaped when this returns.
  void Stop(std::chrono::milliseconds grace);

 private:
  CBrowserProcess(pid_t pid, int pipe) : m_pid(pid), m_pipe(pipe) {}

  pid_t m_pid;
  int m_pipe;
  bool m_reaped = false;
};

// The message for a browser that is not installed.
std::string MissingBrowserText(const std::string& executable);

}  // namespace tracewell::browser
