#include "chromium_cache/response_info.h"

#include <optional>

#include "chromium_cache/little_endian.h"

namespace tracewell::chromium_cache {
namespace {

constexpr std::uint32_t kVersionMask = 0xFFu;
constexpr std::uint32_t kHasExtraFlags = 1u << 31;
constexpr std::uint32_t kExtraHasOriginalResponseTime = 1u << 2;

// Reads a pickle's fields in order; each read fails once the payload is used up.
class PickleReader {
 public:
  explicit PickleReader(std::string_view payload) : m_payload(payload) {}

  std::optional<std::uint32_t> U32() {
    if (m_payload.size() - m_at < 4) return std::nullopt;
    const std::uint32_t value = ReadU32(m_payload, m_at);
    m_at += 4;
    return value;
  }
  std::optional<std::int64_t> I64() {
    if (m_payload.size() - m_at < 8) return std::nullopt;
    const auto value = static_cast<std::int64_t>(ReadU64(m_payload, m_at));
    m_at += 8;
    return value;
  }
  // A length-prefixed string; the next field starts at the next multiple of 4.
  std::optional<std::string_view> String() {
    const auto length = U32();
    if (!length || *length > m_payload.size() - m_at) return std::nullopt;
    const std::string_view text = m_payload.substr(m_at, *length);
    m_at += std::min<std::size_t>((*length + 3u) / 4u * 4u, m_payload.size() - m_at);
    return text;
  }

 private:
  std::string_view m_payload;
  std::size_t m_at = 0;
};

// The NUL-separated block: the status line, then the fields up to the first empty one.
std::optional<ResponseInfo> SplitRawHeaders(std::string_view raw, ResponseInfo info) {
  bool first = true;
  for (std::size_t at = 0; at < raw.size();) {
    std::size_t end = raw.find('\0', at);
    if (end == std::string_view::npos) end = raw.size();
    const std::string_view line = raw.substr(at, end - at);
    if (line.empty()) break;
    if (first) info.statusLine = line;
    else info.headerLines.push_back(line);
    first = false;
    at = end + 1;
  }
  if (!info.statusLine.starts_with("HTTP/")) return std::nullopt;
  return info;
}

}  // namespace

std::variant<ResponseInfo, EntryFault> ParseResponseInfo(std::string_view pickle) {
  const EntryFault malformed{EntryFaultKind::kBadResponseInfo};
  if (pickle.size() < 4) return malformed;
  const std::uint32_t payloadSize = ReadU32(pickle, 0);
  if (payloadSize > pickle.size() - 4) return malformed;
  PickleReader reader(pickle.substr(4, payloadSize));

  const auto flags = reader.U32();
  if (!flags) return malformed;
  if ((*flags & kVersionMask) != kResponseInfoVersion) {
    return EntryFault{EntryFaultKind::kUnsupportedInfoVersion, *flags & kVersionMask};
  }
  std::uint32_t extraFlags = 0;
  if ((*flags & kHasExtraFlags) != 0) {
    const auto extra = reader.U32();
    if (!extra) return malformed;
    extraFlags = *extra;
  }
  ResponseInfo info;
  const auto requestTime = reader.I64();
  const auto responseTime = reader.I64();
  if (!requestTime || !responseTime) return malformed;
  info.requestTime = *requestTime;
  info.responseTime = *responseTime;
  if ((extraFlags & kExtraHasOriginalResponseTime) != 0 && !reader.I64()) return malformed;
  const auto raw = reader.String();
  if (!raw) return malformed;
  auto split = SplitRawHeaders(*raw, std::move(info));
  if (!split) return malformed;
  return std::move(*split);
}

std::string HeaderBlock(const ResponseInfo& info) {
  std::string block(info.statusLine);
  block += "\r\n";
  for (const std::string_view line : info.headerLines) {
    block += line;
    block += "\r\n";
  }
  block += "\r\n";
  return block;
}

}  // namespace tracewell::chromium_cache
