#pragma once
// The browser cache as the cookie and cache manager sees it: an enumeration of its
// entries, optionally by a name pattern, and deletion by name. An entry arrives as
// the same snapshot the capture side takes, under the same buffer-size contract.

#include <cstdint>
#include <optional>
#include <string_view>

#include "capture/cache_store.h"

namespace tracewell {

// The platform's insufficient-buffer error number, shown when an entry never fits.
inline constexpr std::uint32_t kErrorInsufficientBuffer = 122;
// ... and the one for a find handle the store does not know.
inline constexpr std::uint32_t kErrorInvalidHandle = 6;

struct CacheFindResult {
  CacheQueryStatus status = CacheQueryStatus::kOk;
  std::uint32_t error = 0;  // the platform's error number when status is kFailed

  friend bool operator==(const CacheFindResult&, const CacheFindResult&) = default;
};

// Names one enumeration from a successful find-first until it is closed.
using CacheFindHandle = std::uint64_t;

class ICacheEnumerationStore {
 public:
  virtual ~ICacheEnumerationStore() = default;
  // Starts an enumeration of the entries the store matches to `pattern` (none: every
  // entry) and reads the first into `entry`. `bufferSize` is the room the caller
  // declares; when the entry needs more, the store sets it to the size it needs and
  // answers kInsufficientBuffer. kNoMoreItems: nothing to enumerate. Only kOk starts
  // an enumeration, named by `handle`, which the caller closes.
  virtual CacheFindResult FindFirstUrlCacheEntry(std::optional<std::u16string_view> pattern,
                                                 CacheEntrySnapshot& entry, std::uint32_t& bufferSize,
                                                 CacheFindHandle& handle) = 0;
  // The next entry, under the same contract; an entry that did not fit is offered
  // again. kNoMoreItems after the last one.
  virtual CacheFindResult FindNextUrlCacheEntry(CacheFindHandle handle, CacheEntrySnapshot& entry,
                                                std::uint32_t& bufferSize) = 0;
  virtual void FindCloseUrlCache(CacheFindHandle handle) = 0;
  // Removes the entry stored under `name`. A failure (entry in use, already gone)
  // is not reported: no caller acts on it, each goes on with the next entry.
  virtual void DeleteUrlCacheEntry(std::u16string_view name) = 0;
};

}  // namespace tracewell
