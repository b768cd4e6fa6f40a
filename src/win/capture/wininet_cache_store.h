#pragma once
// The browser's URL cache through WinINet: one entry's information for the capture
// snapshots, and enumeration and deletion for the cookie and cache manager. Entries
// come as the same snapshot either way, under the size-then-entry contract of the
// store interfaces.

#include <windows.h>

#include <wininet.h>

// WinINet names its wide functions through macros of the store interfaces' operation
// names; the operations keep their names here, the functions are called by their W names.
#undef GetUrlCacheEntryInfo
#undef FindFirstUrlCacheEntry
#undef FindNextUrlCacheEntry
#undef DeleteUrlCacheEntry

#include "cache/cache_entry_store.h"
#include "capture/cache_store.h"

namespace tracewell::win {

class CWinInetCacheStore final : public ICacheStore, public ICacheEnumerationStore {
 public:
  // A buffer the store will not allocate for one entry, whatever size is asked for.
  static constexpr std::uint32_t kLargestEntry = 1u << 20;

  CacheQueryStatus GetUrlCacheEntryInfo(std::u16string_view url, CacheEntrySnapshot* entry,
                                        std::uint32_t& bufferSize) override;

  CacheFindResult FindFirstUrlCacheEntry(std::optional<std::u16string_view> pattern,
                                         CacheEntrySnapshot& entry, std::uint32_t& bufferSize,
                                         CacheFindHandle& handle) override;
  CacheFindResult FindNextUrlCacheEntry(CacheFindHandle handle, CacheEntrySnapshot& entry,
                                        std::uint32_t& bufferSize) override;
  void FindCloseUrlCache(CacheFindHandle handle) override;
  void DeleteUrlCacheEntry(std::u16string_view name) override;
};

}  // namespace tracewell::win
