#include "session_io/har_time.h"

#include <charconv>
#include <cstdio>
#include <limits>

namespace tracewell {
namespace {

constexpr std::int64_t kTicksPerMinute = 60 * kFileTimeTicksPerSecond;

std::optional<FileTime> Shifted(FileTime time, std::int64_t ticks) {
  const auto value = static_cast<std::int64_t>(time.ticks);
  if (ticks < 0 ? value < -ticks : value > std::numeric_limits<std::int64_t>::max() - ticks) return std::nullopt;
  return FileTime{static_cast<std::uint64_t>(value + ticks)};
}

// Local minus UTC at the UTC instant `utc`, in ticks.
std::optional<std::int64_t> OffsetAtUtc(FileTime utc, const IClock& clock) {
  const auto local = clock.LocalFromUtc(utc);
  if (!local) return std::nullopt;
  return static_cast<std::int64_t>(local->ticks) - static_cast<std::int64_t>(utc.ticks);
}

// The offset that applied at a local time: the offset at the instant the local time
// would be in UTC, corrected once by that offset (exact outside a clock change).
std::optional<std::int64_t> OffsetAtLocal(FileTime local, const IClock& clock) {
  const auto guess = OffsetAtUtc(local, clock);
  const auto utc = guess ? Shifted(local, -*guess) : std::nullopt;
  return utc ? OffsetAtUtc(*utc, clock) : std::nullopt;
}

std::optional<std::string> FormatIso(FileTime local, std::int64_t offsetTicks) {
  const auto fields = FileTimeToSystemTime(local);
  if (!fields) return std::nullopt;
  const std::int64_t minutes = offsetTicks / kTicksPerMinute;
  const std::int64_t absolute = minutes < 0 ? -minutes : minutes;
  char text[64];
  std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02u.%03u%c%02lld:%02lld",
                fields->wYear, fields->wMonth, fields->wDay, fields->wHour, fields->wMinute,
                fields->wSecond, fields->wMilliseconds, minutes < 0 ? '-' : '+',
                static_cast<long long>(absolute / 60), static_cast<long long>(absolute % 60));
  return std::string(text);
}

// Reads exactly `count` digits at `at`.
std::optional<int> Digits(std::string_view text, std::size_t& at, std::size_t count) {
  if (text.size() - at < count) return std::nullopt;
  int value = 0;
  const auto [end, error] = std::from_chars(text.data() + at, text.data() + at + count, value);
  if (error != std::errc() || end != text.data() + at + count) return std::nullopt;
  at += count;
  return value;
}

bool Expect(std::string_view text, std::size_t& at, std::string_view accepted) {
  if (at >= text.size() || accepted.find(text[at]) == std::string_view::npos) return false;
  ++at;
  return true;
}

struct IsoTime {
  FileTime fields;                    // the written calendar time, as ticks
  std::optional<std::int64_t> offset;  // ticks east of UTC; none without a zone
};

std::optional<IsoTime> ParseIso(std::string_view text) {
  std::size_t at = 0;
  SystemTime time;
  const auto year = Digits(text, at, 4);
  if (!year || !Expect(text, at, "-")) return std::nullopt;
  const auto month = Digits(text, at, 2);
  if (!month || !Expect(text, at, "-")) return std::nullopt;
  const auto day = Digits(text, at, 2);
  if (!day || !Expect(text, at, "Tt ")) return std::nullopt;
  const auto hour = Digits(text, at, 2);
  if (!hour || !Expect(text, at, ":")) return std::nullopt;
  const auto minute = Digits(text, at, 2);
  if (!minute || !Expect(text, at, ":")) return std::nullopt;
  const auto second = Digits(text, at, 2);
  if (!second) return std::nullopt;
  int milliseconds = 0;
  if (at < text.size() && text[at] == '.') {
    const std::size_t first = ++at;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
      if (at - first < 3) milliseconds = milliseconds * 10 + (text[at] - '0');
    }
    if (at == first) return std::nullopt;
    for (std::size_t digits = at - first; digits < 3; ++digits) milliseconds *= 10;
  }
  time = {static_cast<std::uint16_t>(*year),   static_cast<std::uint16_t>(*month), 0,
          static_cast<std::uint16_t>(*day),    static_cast<std::uint16_t>(*hour),
          static_cast<std::uint16_t>(*minute), static_cast<std::uint16_t>(*second),
          static_cast<std::uint16_t>(milliseconds)};
  const auto ticks = SystemTimeToFileTime(time);
  if (!ticks) return std::nullopt;

  IsoTime result{*ticks, std::nullopt};
  if (at == text.size()) return result;
  if (Expect(text, at, "Zz")) {
    result.offset = 0;
  } else {
    const bool negative = text[at] == '-';
    if (!Expect(text, at, "+-")) return std::nullopt;
    const auto hours = Digits(text, at, 2);
    if (at < text.size() && text[at] == ':') ++at;
    const auto minutes = Digits(text, at, 2);
    if (!hours || !minutes || *hours > 23 || *minutes > 59) return std::nullopt;
    const std::int64_t offset = (*hours * 60 + *minutes) * kTicksPerMinute;
    result.offset = negative ? -offset : offset;
  }
  if (at != text.size()) return std::nullopt;
  return result;
}

}  // namespace

std::optional<std::string> FormatLocalIsoTime(const SystemTime& local, const IClock& clock) {
  const auto ticks = SystemTimeToFileTime(local);
  const auto offset = ticks ? OffsetAtLocal(*ticks, clock) : std::nullopt;
  if (!offset) return std::nullopt;
  return FormatIso(*ticks, *offset);
}

std::optional<std::string> FormatUtcIsoTime(FileTime utc, const IClock& clock) {
  const auto offset = OffsetAtUtc(utc, clock);
  const auto local = offset ? Shifted(utc, *offset) : std::nullopt;
  if (!local) return std::nullopt;
  return FormatIso(*local, *offset);
}

std::optional<SystemTime> ParseIsoTimeAsLocal(std::string_view text, const IClock& clock) {
  const auto parsed = ParseIso(text);
  if (!parsed) return std::nullopt;
  if (!parsed->offset) return FileTimeToSystemTime(parsed->fields);
  const auto utc = Shifted(parsed->fields, -*parsed->offset);
  const auto local = utc ? clock.LocalFromUtc(*utc) : std::nullopt;
  const auto fields = local ? FileTimeToSystemTime(*local) : std::nullopt;
  if (!fields || !SystemTimeToFileTime(*fields)) return std::nullopt;  // years the records hold
  return fields;
}

std::optional<FileTime> ParseIsoTimeAsUtc(std::string_view text, const IClock& clock) {
  const auto parsed = ParseIso(text);
  if (!parsed) return std::nullopt;
  const auto offset = parsed->offset ? parsed->offset : OffsetAtLocal(parsed->fields, clock);
  return offset ? Shifted(parsed->fields, -*offset) : std::nullopt;
}

}  // namespace tracewell
