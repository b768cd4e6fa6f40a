#include "capture/capture_receiver.h"

namespace tracewell {

void CCaptureReceiver::Deliver(CaptureMessage message) {
  if (message.kind == CaptureMessage::Kind::kStarted) {
    // The session's record is made here, so that the thread that keeps it allocates it.
    auto record = std::make_unique<CHttpTransaction>(std::move(message.values));
    m_live[message.recordId] = record.get();
    m_handler.OnTransactionStarted(std::move(record));
    return;
  }
  const auto it = m_live.find(message.recordId);
  if (it == m_live.end()) return;
  CHttpTransaction& record = *it->second;
  TransferFields(std::move(message.values), record, message.fields);
  if (message.lastForRecord) m_live.erase(it);
  m_handler.OnTransactionUpdated(record, message.mask);
}

}  // namespace tracewell
