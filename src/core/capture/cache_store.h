#pragma once
// The browser cache as the capture engine sees it, and the snapshot of one entry.

#include <cstdint>
#include <string_view>

#include "record/cache_entry_snapshot.h"

namespace tracewell {

// kNoMoreItems ends an enumeration of the cache (the entry query never answers it).
enum class CacheQueryStatus { kOk, kInsufficientBuffer, kNoMoreItems, kFailed };

class ICacheStore {
 public:
  virtual ~ICacheStore() = default;
  // Entry information for `url`. `bufferSize` is the room the caller has (0 for
  // none); when it is too small the store sets it to the size it needs and answers
  // kInsufficientBuffer. kFailed: not cached, or another error.
  virtual CacheQueryStatus GetUrlCacheEntryInfo(std::u16string_view url, CacheEntrySnapshot* entry,
                                                std::uint32_t& bufferSize) = 0;
  // The entry for `url` now, or null. This asks GetUrlCacheEntryInfo for the size,
  // then for the entry with exactly that size, so an entry that grew in between
  // gives null; a store that keeps its entries as shared snapshots hands out its own
  // instead, without a copy.
  virtual SharedCacheEntry SharedEntry(std::u16string_view url);
};

// The bytes the platform's entry record of `entry` takes: the fixed part plus each
// string with its terminating NUL, in UTF-16. Stores report it as the size needed.
std::uint32_t CacheEntryRecordSize(const CacheEntrySnapshot& entry);

// Answers one query for `found` under the buffer-size contract: kOk with a copy when
// `bufferSize` holds its record, else the size needed and kInsufficientBuffer.
CacheQueryStatus AnswerCacheEntry(const CacheEntrySnapshot& found, CacheEntrySnapshot* entry,
                                  std::uint32_t& bufferSize);

// The entry for `url` now (ICacheStore::SharedEntry), or null; an empty URL is no
// cache key and gives null without asking.
SharedCacheEntry TakeCacheSnapshot(ICacheStore& store, std::u16string_view url);

}  // namespace tracewell
