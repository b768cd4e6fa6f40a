#pragma once
// The receiving end on the thread that owns the session: turns capture messages
// into records owned by the session and calls the main window's two handlers with
// the grid's column masks, in message order.

#include <cstdint>
#include <memory>
#include <unordered_map>

#include "capture/capture_message.h"

namespace tracewell {

// The main window's handlers for the two notifications.
class ITransactionHandler {
 public:
  virtual ~ITransactionHandler() = default;
  // A new record; the handler takes ownership (the session list keeps it).
  virtual void OnTransactionStarted(std::unique_ptr<CHttpTransaction> record) = 0;
  // Fields of a record changed; `mask` names the grid columns (and the finished bit).
  virtual void OnTransactionUpdated(CHttpTransaction& record, std::uint32_t mask) = 0;
};

class CCaptureReceiver {
 public:
  explicit CCaptureReceiver(ITransactionHandler& handler) : m_handler(handler) {}

  void Deliver(CaptureMessage message);

  // The session deleted its records (a log file replaced it): later messages for
  // them are dropped instead of touching freed memory.
  void ForgetRecords() { m_live.clear(); }

  // Records that bindings may still update.
  std::size_t LiveRecords() const { return m_live.size(); }

 private:
  ITransactionHandler& m_handler;
  std::unordered_map<std::uint64_t, CHttpTransaction*> m_live;
};

}  // namespace tracewell
