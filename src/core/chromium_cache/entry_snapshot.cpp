#include "chromium_cache/entry_snapshot.h"

#include <charconv>
#include <limits>

#include "http_text/cookie_date.h"
#include "http_text/splitting.h"
#include "text/code_page.h"
#include "text/utf8.h"

namespace tracewell::chromium_cache {
namespace {

constexpr std::uint32_t kNormalCacheEntry = 1;
constexpr std::size_t kLongestExtension = 16;

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

// The extension of the URL path's last segment, if it is a short one.
std::u16string ExtensionOfUrl(std::string_view url) {
  url = url.substr(0, url.find_first_of("?#"));
  const std::size_t scheme = url.find("://");
  if (scheme != std::string_view::npos) url.remove_prefix(scheme + 3);
  const std::size_t slash = url.rfind('/');
  if (slash == std::string_view::npos) return {};
  const std::string_view segment = url.substr(slash + 1);
  const std::size_t dot = segment.rfind('.');
  if (dot == std::string_view::npos || dot + 1 == segment.size()) return {};
  const std::string_view extension = segment.substr(dot + 1);
  if (extension.size() > kLongestExtension) return {};
  return FromCodePage(extension);
}

// The max-age directive of Cache-Control, in seconds.
std::optional<std::int64_t> MaxAge(std::string_view cacheControl) {
  const std::u16string text = FromCodePage(cacheControl);
  std::optional<std::int64_t> seconds;
  ForEachPiece(text, u",", [&](std::u16string_view directive) {
    const auto pair = SplitAtFirst(Trim(directive), u'=');
    if (pair && EqualsIgnoringCase(Trim(pair->name), u"max-age") && !seconds) {
      const std::string digits = ToUtf8(Trim(pair->value));
      std::int64_t value = 0;
      const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
      if (error == std::errc() && end == digits.data() + digits.size() && value >= 0) seconds = value;
    }
  });
  return seconds;
}

// When the stored response stops being fresh: max-age after the response time, else
// Expires; 0 when neither says. (Heuristic freshness and Age are not applied.)
FileTime ExpireTimeOf(const ResponseInfo& info) {
  if (const auto seconds = MaxAge(HeaderValue(info, "Cache-Control"))) {
    constexpr std::int64_t kMicrosPerSecond = 1'000'000;
    if (info.responseTime <= 0 ||
        *seconds > (std::numeric_limits<std::int64_t>::max() - info.responseTime) / kMicrosPerSecond) {
      return {};
    }
    return FileTimeOfMicroseconds(info.responseTime + *seconds * kMicrosPerSecond);
  }
  const std::string_view expires = HeaderValue(info, "Expires");
  if (expires.empty()) return {};
  return ParseCookieDate(FromCodePage(expires)).value_or(FileTime{});
}

FileTime DateHeader(const ResponseInfo& info, std::string_view name) {
  const std::string_view value = HeaderValue(info, name);
  if (value.empty()) return {};
  return ParseCookieDate(FromCodePage(value)).value_or(FileTime{});
}

std::uint32_t ClampToU32(std::size_t size) {
  return size > std::numeric_limits<std::uint32_t>::max() ? std::numeric_limits<std::uint32_t>::max()
                                                          : static_cast<std::uint32_t>(size);
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
  CacheEntrySnapshot snapshot;
  snapshot.SourceUrlName = FromUtf8(url);
  snapshot.FileExtension = ExtensionOfUrl(url);
  snapshot.LocalFileName =
      MakeBodyName({std::u16string(entryPath), info.responseTime}, snapshot.FileExtension);
  snapshot.CacheEntryType = kNormalCacheEntry;
  snapshot.SizeLow = ClampToU32(entry.body.size());
  snapshot.LastModifiedTime = DateHeader(info, "Last-Modified");
  snapshot.ExpireTime = ExpireTimeOf(info);
  snapshot.LastAccessTime = lastAccess;
  snapshot.LastSyncTime = FileTimeOfMicroseconds(info.responseTime);
  snapshot.HeaderInfo = FromCodePage(HeaderBlock(info));
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
