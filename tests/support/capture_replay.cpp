#include "support/capture_replay.h"

namespace tracewell::testing {

std::vector<CaptureMessage> CaptureMessagesFor(const CHttpTransaction& record, std::uint64_t recordId) {
  struct Step {
    CaptureMessage::Kind kind;
    std::uint32_t mask;
    FieldSet fields;
  };
  constexpr Step kSteps[] = {
      {CaptureMessage::Kind::kStarted, 0,
       kFieldUrl | kFieldMethod | kFieldPostData | kFieldStarted | kFieldCacheBefore},
      {CaptureMessage::Kind::kUpdated, kMaskSent | kMaskIpAddress, kFieldSent | kFieldRequestHeaders | kFieldIpAddress},
      {CaptureMessage::Kind::kUpdated, 0x20 | 0x80,
       kFieldResult | kFieldMimeType | kFieldResponseHeaders | kFieldRedirectUrl},
      {CaptureMessage::Kind::kUpdated, kMaskDuration | kMaskSize | kMaskFinished,
       kFieldEnded | kFieldSize | kFieldCacheAfter},
  };
  std::vector<CaptureMessage> messages;
  for (const Step& step : kSteps) {
    CaptureMessage& message = messages.emplace_back();
    message.kind = step.kind;
    message.recordId = recordId;
    message.mask = step.mask;
    message.fields = step.fields;
    message.lastForRecord = (step.mask & kMaskFinished) != 0;
    TransferFields(record, message.values, step.fields);
  }
  return messages;
}

}  // namespace tracewell::testing
