#pragma once
// Several stores enumerated as one, in the order given, for the manager and the Tools
// commands: the cookies of a browser or a session beside the cached responses of the
// store in use. An entry is deleted from whichever store holds it.

#include <cstddef>
#include <string>
#include <vector>

#include "cache/cache_entry_store.h"
#include "cache/cache_enumerations.h"

namespace tracewell {

class CCacheStoreUnion final : public ICacheEnumerationStore {
 public:
  explicit CCacheStoreUnion(std::vector<ICacheEnumerationStore*> stores);

  CacheFindResult FindFirstUrlCacheEntry(std::optional<std::u16string_view> pattern,
                                         CacheEntrySnapshot& entry, std::uint32_t& bufferSize,
                                         CacheFindHandle& handle) override;
  CacheFindResult FindNextUrlCacheEntry(CacheFindHandle handle, CacheEntrySnapshot& entry,
                                        std::uint32_t& bufferSize) override;
  void FindCloseUrlCache(CacheFindHandle handle) override;
  // Every store is asked; a store ignores a name it does not hold.
  void DeleteUrlCacheEntry(std::u16string_view name) override;

 private:
  struct Enumeration {
    std::optional<std::u16string> pattern;
    std::size_t store = 0;           // the store enumerating now
    CacheFindHandle inner = 0;       // its handle, while it enumerates
    bool open = false;
  };
  // Starts the stores from `enumeration.store` on until one has an entry (or fails).
  CacheFindResult StartFrom(Enumeration& enumeration, CacheEntrySnapshot& entry, std::uint32_t& bufferSize);
  void CloseInner(Enumeration& enumeration);

  std::vector<ICacheEnumerationStore*> m_stores;
  CCacheEnumerations<Enumeration> m_enumerations;
};

}  // namespace tracewell
