#include "http_cache/entry_snapshot.h"

#include <utility>

#include "http_cache/cache_rules.h"

namespace tracewell {
namespace {

// The times that follow from the stored headers.
void SetHeaderTimes(CacheEntrySnapshot& entry, const HeaderFields& stored, FileTime received) {
  const auto lastModified = LastModified(stored);
  entry.LastModifiedTime = lastModified.value_or(FileTime{});
  entry.ExpireTime = ExpirationTime(StatusOf(stored), stored, received, lastModified).value_or(FileTime{});
  entry.LastSyncTime = received;
  entry.HeaderInfo = HeaderBlockText(stored);
}

}  // namespace

int StatusOf(const HeaderFields& headers) {
  const std::size_t space = headers.firstLine.find(u' ');
  if (space == std::u16string::npos) return 0;
  return LeadingInteger(std::u16string_view(headers.firstLine).substr(space + 1));
}

std::u16string UrlFileExtension(std::u16string_view url) {
  const std::size_t scheme = url.find(u"://");
  std::u16string_view path = url.substr(scheme == std::u16string_view::npos ? 0 : scheme + 3);
  path = path.substr(0, path.find_first_of(u"?#"));
  const std::size_t slash = path.rfind(u'/');
  if (slash == std::u16string_view::npos) return {};  // the host alone
  const std::u16string_view name = path.substr(slash + 1);
  const std::size_t dot = name.rfind(u'.');
  return dot == std::u16string_view::npos ? std::u16string() : std::u16string(name.substr(dot + 1));
}

CacheEntrySnapshot NewEntrySnapshot(std::u16string url, std::u16string localFile, const HeaderFields& stored,
                                    std::uint64_t bodySize, FileTime received) {
  CacheEntrySnapshot entry;
  entry.FileExtension = UrlFileExtension(url);
  entry.SourceUrlName = std::move(url);
  entry.LocalFileName = std::move(localFile);
  entry.CacheEntryType = kNormalCacheEntry;
  entry.SizeLow = static_cast<std::uint32_t>(bodySize);  // the record's low half
  entry.LastAccessTime = received;
  SetHeaderTimes(entry, stored, received);
  return entry;
}

void RefreshEntrySnapshot(CacheEntrySnapshot& entry, const HeaderFields& notModified, FileTime received) {
  // The updated fields view the old block: it stays while the new one is written.
  const std::u16string stored = std::move(entry.HeaderInfo);
  SetHeaderTimes(entry, UpdateAfterNotModified(ParseHeaderFields(stored), notModified), received);
}

void CountUse(CacheEntrySnapshot& entry, bool hit, FileTime now) {
  ++entry.UseCount;
  if (hit) ++entry.HitRate;
  entry.LastAccessTime = now;
}

}  // namespace tracewell
