#pragma once
// A browser disk-cache entry as a cache entry snapshot, and the name under which the
// snapshot points at the entry's body.
//
// The browser rewrites an entry's file in place when it stores a newer response, so
// the snapshot's LocalFileName is the entry file's path with the stored response's
// time after a "#" (and the URL's file extension, for the preview): a record taken
// before the rewrite then names a body that is gone, never the newer one.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "chromium_cache/response_info.h"
#include "chromium_cache/simple_entry.h"
#include "record/cache_entry_snapshot.h"

namespace tracewell::chromium_cache {

// The URL inside a cache key: the key is the URL, or the URL after a prefix such as
// "1/0/" or "1/0/_dk_<site> <site> " (URLs hold no spaces).
std::string_view UrlOfCacheKey(std::string_view key);

// A URL as the cache keys it: without its fragment.
std::u16string_view UrlWithoutFragment(std::u16string_view url);

struct BodyName {
  std::u16string entryPath;
  std::int64_t responseTime = 0;

  friend bool operator==(const BodyName&, const BodyName&) = default;
};

std::u16string MakeBodyName(const BodyName& name, std::u16string_view extension);
// None when `localFileName` is not a name MakeBodyName made.
std::optional<BodyName> ParseBodyName(std::u16string_view localFileName);

// The snapshot of a parsed entry stored in `entryPath`, last used at `lastAccess`.
CacheEntrySnapshot SnapshotOfEntry(std::string_view url, const SimpleEntry& entry, const ResponseInfo& info,
                                   std::u16string_view entryPath, FileTime lastAccess);

// The browser's time (microseconds since 1601-01-01 UTC) in FILETIME ticks; 0 for
// times before 1601 or too far ahead.
FileTime FileTimeOfMicroseconds(std::int64_t microseconds);

}  // namespace tracewell::chromium_cache
