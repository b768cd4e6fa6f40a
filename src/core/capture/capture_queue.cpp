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
  const std::lock_guard lock(m_mutex);
  std::vector<CaptureMessage> taken(std::make_move_iterator(m_messages.begin()),
                                    std::make_move_iterator(m_messages.end()));
  m_messages.clear();
  return taken;
}

void CCaptureQueue::Close() {
  const std::lock_guard lock(m_mutex);
  m_closed = true;
  m_messages.clear();
}

}  // namespace tracewell
