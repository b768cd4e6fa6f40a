#pragma once
// How a record's result travels in HAR: a status code as the numeric status, a
// network error or an aborted request as status 0 with the error's name in
// "_error", a response served from the cache with "_fromCache".

#include <optional>
#include <string>
#include <string_view>

#include "record/http_transaction.h"

namespace tracewell {

struct HarStatus {
  int status = 0;
  std::u16string error;  // empty when there is none
  bool fromCache = false;
};

// `statusLineCode` is the code of the record's status line (0 without one); a
// response from the cache reports it, or 200 when there is none.
HarStatus HarStatusOf(std::u16string_view result, int statusLineCode);

// The result text for a HAR response: the decimal status, "(Cache)" for one served
// from the cache; for status 0 the number of a network error that `error` names,
// "(Aborted)" for any other error, empty without one (the request never finished).
std::u16string ResultOfHarStatus(int status, std::u16string_view error, bool fromCache);

}  // namespace tracewell
