#include "chromium_cache/disk_entry_snapshot.h"

#include <charconv>
#include <limits>

#include "http_cache/entry_snapshot.h"
#include "http_text/splitting.h"
#include "text/code_page.h"
#include "text/utf8.h"

namespace tracewell::chromium_cache {
namespace {

bool IsDigits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// "1/0/" and the like: numbers each followed by a slash.
std::string_view WithoutNumberPrefixes(std::string_view key) {
  for (;;) {
    const std::size_t slash = key.find('/');
    if (slash == std::string_view::npos || !IsDigits(key.substr(0, slash))) return key;
    key.remove_prefix(slash + 1);
  }
}

}  // namespace

std::string_view UrlOfCacheKey(std::string_view key) {
  const std::size_t space = key.rfind(' ');
  if (space != std::string_view::npos) return key.substr(space + 1);
  return WithoutNumberPrefixes(key);
}

std::u16string_view UrlWithoutFragment(std::u16string_view url) { return url.substr(0, url.find(u'#')); }

std::u16string MakeBodyName(const BodyName& name, std::u16string_view extension) {
  std::u16string text = name.entryPath + u"#" + FromCodePage(std::to_string(name.responseTime));
  if (!extension.empty()) text.append(u".").append(extension);
  return text;
}

std::optional<BodyName> ParseBodyName(std::u16string_view localFileName) {
  const std::size_t hash = localFileName.rfind(u'#');
  if (hash == std::u16string_view::npos || hash == 0) return std::nullopt;
  std::u16string_view version = localFileName.substr(hash + 1);
  version = version.substr(0, version.find(u'.'));
  const std::string digits = ToUtf8(version);
  std::int64_t time = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), time);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return BodyName{std::u16string(localFileName.substr(0, hash)), time};
}

CacheEntrySnapshot SnapshotOfEntry(std::string_view url, const SimpleEntry& entry, const ResponseInfo& info,
                                   std::u16string_view entryPath, FileTime lastAccess) {
  std::u16string url16 = FromUtf8(url);
  std::u16string bodyName = MakeBodyName({std::u16string(entryPath), info.responseTime}, UrlFileExtension(url16));
  const std::u16string headerBlock = FromCodePage(HeaderBlock(info));
  CacheEntrySnapshot snapshot = NewEntrySnapshot(std::move(url16), std::move(bodyName), ParseHeaderFields(headerBlock),
                                                 entry.body.size(), FileTimeOfMicroseconds(info.responseTime));
  snapshot.LastAccessTime = lastAccess;
  return snapshot;
}

FileTime FileTimeOfMicroseconds(std::int64_t microseconds) {
  constexpr std::int64_t kTicksPerMicrosecond = 10;
  if (microseconds <= 0 || microseconds > std::numeric_limits<std::int64_t>::max() / kTicksPerMicrosecond) {
    return {};
  }
  return FileTime{static_cast<std::uint64_t>(microseconds * kTicksPerMicrosecond)};
}

}  // namespace tracewell::chromium_cache
