#include "task_queue.h"

#include <algorithm>

namespace tracewell::browser {

void CTaskQueue::Post(std::function<void()> task) {
  {
    const std::lock_guard lock(m_mutex);
    m_tasks.push_back(std::move(task));
  }
  m_posted.notify_one();
}

bool CTaskQueue::RunUntil(const std::function<bool()>& done, Clock::time_point deadline,
                          std::chrono::milliseconds tick) {
  for (;;) {
    if (done()) return true;
    const auto now = Clock::now();
    if (now >= deadline) return false;
    std::deque<std::function<void()>> batch;
    {
      std::unique_lock lock(m_mutex);
      m_posted.wait_until(lock, std::min(deadline, now + tick), [&] { return !m_tasks.empty(); });
      batch.swap(m_tasks);
    }
    for (auto& task : batch) task();
  }
}

}  // namespace tracewell::browser
