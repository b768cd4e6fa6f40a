#include "store/file_worker.h"

#include <utility>

#include "text/assert.h"

namespace tracewell::store {

CFileWorker::CFileWorker(std::size_t byteBound) : m_byteBound(byteBound), m_thread([this] { Run(); }) {}

CFileWorker::~CFileWorker() {
  {
    const std::lock_guard lock(m_mutex);
    m_stopping = true;
  }
  m_wake.notify_one();
  m_thread.join();
}

bool CFileWorker::TryPost(std::size_t bytes, Task task) {
  {
    const std::lock_guard lock(m_mutex);
    if (bytes > m_byteBound - m_queuedBytes) return false;
    m_queuedBytes += bytes;
    m_queue.push_back({std::move(task), bytes});
    ++m_posted;
  }
  m_wake.notify_one();
  return true;
}

void CFileWorker::Post(Task task) {
  const bool queued = TryPost(0, std::move(task));
  TRACEWELL_ASSERT(queued);  // the queued bytes never pass the bound, so none always fit
}

void CFileWorker::Settle() {
  std::unique_lock lock(m_mutex);
  const std::uint64_t posted = m_posted;
  m_settled.wait(lock, [&] { return m_done >= posted; });
}

void CFileWorker::Run() {
  std::unique_lock lock(m_mutex);
  for (;;) {
    m_wake.wait(lock, [&] { return m_stopping || !m_queue.empty(); });
    if (m_queue.empty()) return;  // stopping, and everything has run
    Queued next = std::move(m_queue.front());
    m_queue.pop_front();
    lock.unlock();
    next.task();
    next.task = nullptr;  // what the task holds goes before the bytes are counted free
    lock.lock();
    m_queuedBytes -= next.bytes;
    ++m_done;
    m_settled.notify_all();
  }
}

}  // namespace tracewell::store
