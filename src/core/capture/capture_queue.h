#pragma once
// A first-in first-out hand-over of capture messages from any number of binding
// threads to the one thread that owns the session. Messages of one binding keep
// their posting order. After Close, posts are dropped: the receiving side is gone.

#include <functional>
#include <mutex>
#include <vector>

#include "capture/capture_message.h"

namespace tracewell {

class CCaptureQueue final : public ICaptureNotifier {
 public:
  // `wake` runs (on the posting thread) when a message arrives in an empty queue,
  // so a host can schedule the receiving thread to drain it.
  explicit CCaptureQueue(std::function<void()> wake = {}) : m_wake(std::move(wake)) {}

  void Post(CaptureMessage message) override;
  // Everything posted so far; the lock is held only to swap the lists, so posting
  // threads never wait for a long hand-over. Called on the receiving thread alone.
  std::vector<CaptureMessage> TakeAll();
  void Close();

 private:
  std::mutex m_mutex;
  std::vector<CaptureMessage> m_messages;
  bool m_closed = false;
  std::size_t m_lastBatch = 0;  // how many messages the last TakeAll took
  std::function<void()> m_wake;
};

}  // namespace tracewell
