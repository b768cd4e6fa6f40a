#include "capture/capture_queue.h"

namespace tracewell {

void CCaptureQueue::Post(CaptureMessage message) {
  bool wasEmpty = false;
  {
    const std::lock_guard lock(m_mutex);
    if (m_closed) return;
    wasEmpty = m_messages.empty();
    m_messages.push_back(std::move(message));
  }
  if (wasEmpty && m_wake) m_wake();
}

std::vector<CaptureMessage> CCaptureQueue::TakeAll() {
  // The next batch goes into room made here, outside the lock, for as many messages
  // as this one brought, so that posting rarely grows the list under the lock.
  std::vector<CaptureMessage> taken;
  taken.reserve(m_lastBatch);
  const std::lock_guard lock(m_mutex);
  taken.swap(m_messages);
  m_lastBatch = taken.size();
  return taken;
}

void CCaptureQueue::Close() {
  const std::lock_guard lock(m_mutex);
  m_closed = true;
  m_messages.clear();
}

}  // namespace tracewell
