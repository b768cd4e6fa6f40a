#include "store/store_index.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "http_cache/entry_snapshot.h"
#include "text/utf8.h"

namespace tracewell::store {
namespace {

constexpr std::size_t kFieldCount = 12;

bool IsLowerHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }
bool IsAsciiAlnum(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

void AppendEscaped(std::string& out, std::string_view text) {
  for (const char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default: out += c;
    }
  }
}

std::optional<std::string> Unescaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (++i == text.size()) return std::nullopt;
    switch (text[i]) {
      case '\\': out += '\\'; break;
      case 't': out += '\t'; break;
      case 'r': out += '\r'; break;
      case 'n': out += '\n'; break;
      default: return std::nullopt;
    }
  }
  return out;
}

template <typename Number>
std::optional<Number> NumberField(std::string_view text) {
  Number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (std::size_t start = 0;;) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
    if (tab == std::string_view::npos || fields.size() > kFieldCount) return fields;
    start = tab + 1;
  }
}

}  // namespace

std::string IndexLine(const StoredEntry& entry) {
  const CacheEntrySnapshot& s = *entry.snapshot;
  std::string line;
  const auto text = [&](std::u16string_view value) {
    AppendEscaped(line, ToUtf8(value));
    line += '\t';
  };
  const auto number = [&](std::uint64_t value) { line += std::to_string(value) + '\t'; };
  text(s.SourceUrlName);
  line += entry.fileName + '\t';
  // "-" for "Vary: *"; otherwise "=" and the key.
  if (entry.varyKey) {
    line += '=';
    text(*entry.varyKey);
  } else {
    line += "-\t";
  }
  number(s.UseCount);
  number(s.HitRate);
  number(entry.bodySize);
  number(s.LastModifiedTime.ticks);
  number(s.ExpireTime.ticks);
  number(s.LastAccessTime.ticks);
  number(s.LastSyncTime.ticks);
  number(entry.lastUse);
  AppendEscaped(line, ToUtf8(s.HeaderInfo));
  return line;
}

std::optional<StoredEntry> ParseIndexLine(std::string_view line) {
  const std::vector<std::string_view> fields = Fields(line);
  if (fields.size() != kFieldCount) return std::nullopt;
  StoredEntry entry;
  const auto url = Unescaped(fields[0]);
  const auto headers = Unescaped(fields[11]);
  if (!url || url->empty() || !headers || !IsBodyFileName(fields[1])) return std::nullopt;
  entry.fileName = fields[1];
  if (fields[2].starts_with('=')) {
    const auto key = Unescaped(fields[2].substr(1));
    if (!key) return std::nullopt;
    entry.varyKey = FromUtf8(*key);
  } else if (fields[2] != "-") {
    return std::nullopt;
  }
  const auto useCount = NumberField<std::uint32_t>(fields[3]);
  const auto hitRate = NumberField<std::uint32_t>(fields[4]);
  const auto bodySize = NumberField<std::uint64_t>(fields[5]);
  const auto lastModified = NumberField<std::uint64_t>(fields[6]);
  const auto expire = NumberField<std::uint64_t>(fields[7]);
  const auto access = NumberField<std::uint64_t>(fields[8]);
  const auto sync = NumberField<std::uint64_t>(fields[9]);
  const auto lastUse = NumberField<std::uint64_t>(fields[10]);
  if (!useCount || !hitRate || !bodySize || !lastModified || !expire || !access || !sync || !lastUse) {
    return std::nullopt;
  }
  auto snapshot = std::make_shared<CacheEntrySnapshot>();
  CacheEntrySnapshot& s = *snapshot;
  s.SourceUrlName = FromUtf8(*url);
  s.CacheEntryType = kNormalCacheEntry;
  s.UseCount = *useCount;
  s.HitRate = *hitRate;
  s.SizeLow = static_cast<std::uint32_t>(*bodySize);
  s.LastModifiedTime = {*lastModified};
  s.ExpireTime = {*expire};
  s.LastAccessTime = {*access};
  s.LastSyncTime = {*sync};
  s.HeaderInfo = FromUtf8(*headers);
  s.FileExtension = UrlFileExtension(s.SourceUrlName);
  entry.snapshot = std::move(snapshot);
  entry.bodySize = *bodySize;
  entry.lastUse = *lastUse;
  return entry;
}

bool IsBodyFileName(std::string_view name) {
  const std::size_t dot = name.find('.');
  const std::string_view stem = name.substr(0, dot);
  if (stem.empty() || stem.size() > 32 || !std::ranges::all_of(stem, IsLowerHexDigit)) return false;
  if (dot == std::string_view::npos) return true;
  const std::string_view extension = name.substr(dot + 1);
  return !extension.empty() && extension.size() <= 16 && std::ranges::all_of(extension, IsAsciiAlnum);
}

}  // namespace tracewell::store
