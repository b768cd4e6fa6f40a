#pragma once
// One thread that does the response store's file work (making, writing, renaming and
// removing body files, writing the index), so that a proxy thread only hands it over.
// Tasks run one at a time in the order they were posted. The bytes that tasks carry
// are bounded: a task that would go beyond the bound is refused at once, and the
// caller keeps less instead of waiting. Small tasks that carry no bytes are always
// taken.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace tracewell::store {

class CFileWorker {
 public:
  using Task = std::function<void()>;

  explicit CFileWorker(std::size_t byteBound);
  // Runs what was posted, then stops.
  ~CFileWorker();
  CFileWorker(const CFileWorker&) = delete;
  CFileWorker& operator=(const CFileWorker&) = delete;

  // Queues a task carrying `bytes`; false, and nothing queued, when the queued bytes
  // would go beyond the bound.
  bool TryPost(std::size_t bytes, Task task);
  // Queues a task that carries no bytes.
  void Post(Task task);
  // Returns once every task posted before the call has run.
  void Settle();

 private:
  struct Queued {
    Task task;
    std::size_t bytes;
  };
  void Run();

  const std::size_t m_byteBound;
  std::mutex m_mutex;
  std::condition_variable m_wake;     // the worker: a task came, or stop
  std::condition_variable m_settled;  // Settle: a task ran
  std::deque<Queued> m_queue;
  std::size_t m_queuedBytes = 0;
  std::uint64_t m_posted = 0;
  std::uint64_t m_done = 0;
  bool m_stopping = false;
  std::thread m_thread;  // last: starts once the rest is ready
};

}  // namespace tracewell::store
