#pragma once
// Work handed to the thread that owns a browse session: the pipe's reader thread posts,
// the owner runs the tasks in order between its own checks.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace tracewell::browser {

class CTaskQueue {
 public:
  using Clock = std::chrono::steady_clock;

  // From any thread.
  void Post(std::function<void()> task);

  // Runs posted tasks until `done()` holds or `deadline` passes, checking `done()` after
  // every batch and at least every `tick`; true when `done()` held.
  bool RunUntil(const std::function<bool()>& done, Clock::time_point deadline,
                std::chrono::milliseconds tick = std::chrono::milliseconds(50));

 private:
  std::mutex m_mutex;
  std::condition_variable m_posted;
  std::deque<std::function<void()>> m_tasks;
};

}  // namespace tracewell::browser
