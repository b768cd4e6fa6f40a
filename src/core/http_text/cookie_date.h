#pragma once
// The expiry date of a Set-Cookie line, read the forgiving way browsers read it
// (RFC 6265, 5.1.1): a time, a day of the month, a month name and a year anywhere
// among the tokens, so "Thu, 01-Jan-2009 00:00:00 GMT" and "Jan 1 00:00:00 2009"
// both work.

#include <optional>
#include <string_view>

#include "record/system_time.h"

namespace tracewell {

// The instant (UTC) that `text` names, or none when a part is missing or out of range.
std::optional<FileTime> ParseCookieDate(std::u16string_view text);

}  // namespace tracewell
