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
    auto values = std::make_unique<CHttpTransaction>();
    TransferFields(record, *values, step.fields);
    messages.push_back({step.kind, recordId, step.mask, step.fields,
                        (step.mask & kMaskFinished) != 0, std::move(values)});
  }
  return messages;
}

}  // namespace tracewell::testing
