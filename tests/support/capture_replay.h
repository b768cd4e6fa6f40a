#pragma once
// A recorded request replayed as the capture side announces one: the start, the
// request sent, the response's head, then the finish, each message with its grid
// column mask and the fields it carries.

#include <cstdint>
#include <vector>

#include "capture/capture_message.h"

namespace tracewell::testing {

std::vector<CaptureMessage> CaptureMessagesFor(const CHttpTransaction& record, std::uint64_t recordId);

}  // namespace tracewell::testing
