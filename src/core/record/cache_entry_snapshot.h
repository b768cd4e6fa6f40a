#pragma once
// What the browser's URL cache held for a URL at one moment: the fields of the
// platform's cache-entry record that the views read. A snapshot never changes once
// taken, so records, capture messages and stores share one (SharedCacheEntry); no
// snapshot (null) means the URL was not cached then or the query failed.

#include <cstdint>
#include <memory>
#include <string>

#include "record/system_time.h"

namespace tracewell {

// Entry types as the platform's records carry them.
inline constexpr std::uint32_t kNormalCacheEntry = 0x00000001;
inline constexpr std::uint32_t kCookieCacheEntry = 0x00100000;

struct CacheEntrySnapshot {
  std::u16string SourceUrlName;
  std::u16string LocalFileName;
  std::uint32_t CacheEntryType = 0;
  std::uint32_t UseCount = 0;
  std::uint32_t HitRate = 0;
  std::uint32_t SizeLow = 0;
  FileTime LastModifiedTime;  // UTC
  FileTime ExpireTime;
  FileTime LastAccessTime;
  FileTime LastSyncTime;
  std::u16string HeaderInfo;  // response headers stored with the entry, CR LF separated
  std::u16string FileExtension;
  std::uint32_t ExemptDelta = 0;  // seconds

  friend bool operator==(const CacheEntrySnapshot&, const CacheEntrySnapshot&) = default;
};

using SharedCacheEntry = std::shared_ptr<const CacheEntrySnapshot>;

}  // namespace tracewell
