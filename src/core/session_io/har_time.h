#pragma once
// ISO 8601 date-times as HAR files carry them ("2026-12-01T07:20:32.045+01:00"), to
// and from the records' times. The zone offset comes from the clock's zone rules:
// records keep local times, cache entries UTC instants.

#include <optional>
#include <string>
#include <string_view>

#include "record/clock.h"

namespace tracewell {

// A record's local time with the offset from UTC that applied then; none when the
// time is not a valid calendar time.
std::optional<std::string> FormatLocalIsoTime(const SystemTime& local, const IClock& clock);

// A UTC instant as local time with its offset; none when it cannot be converted.
std::optional<std::string> FormatUtcIsoTime(FileTime utc, const IClock& clock);

// "YYYY-MM-DDThh:mm:ss", optionally with a fraction and "Z" or "+hh:mm" / "-hhmm".
// A time without a zone is taken as local. None when the text is not such a time or
// lies outside the years the records can hold.
std::optional<SystemTime> ParseIsoTimeAsLocal(std::string_view text, const IClock& clock);
std::optional<FileTime> ParseIsoTimeAsUtc(std::string_view text, const IClock& clock);

}  // namespace tracewell
