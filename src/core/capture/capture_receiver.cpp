#include "capture/capture_receiver.h"

namespace tracewell {

void CCaptureReceiver::Deliver(CaptureMessage message) {
  if (message.kind == CaptureMessage::Kind::kStarted) {
    CHttpTransaction* record = message.values.get();
    m_live[message.recordId] = record;
    m_handler.OnTransactionStarted(std::move(message.values));
    return;
  }
  const auto it = m_live.find(message.recordId);
  if (it == m_live.end()) return;
  CHttpTransaction& record = *it->second;
  TransferFields(std::move(*message.values), record, message.fields);
  if (message.lastForRecord) m_live.erase(it);
  m_handler.OnTransactionUpdated(record, message.mask);
}

}  // namespace tracewell
