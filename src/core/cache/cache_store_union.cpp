#include "cache/cache_store_union.h"

#include <utility>

#include "text/assert.h"

namespace tracewell {

CCacheStoreUnion::CCacheStoreUnion(std::vector<ICacheEnumerationStore*> stores) : m_stores(std::move(stores)) {
  for (const ICacheEnumerationStore* store : m_stores) TRACEWELL_ASSERT(store != nullptr);
}

CacheFindResult CCacheStoreUnion::FindFirstUrlCacheEntry(std::optional<std::u16string_view> pattern,
                                                         CacheEntrySnapshot& entry, std::uint32_t& bufferSize,
                                                         CacheFindHandle& handle) {
  Enumeration enumeration;
  if (pattern) enumeration.pattern = std::u16string(*pattern);
  return m_enumerations.Start(std::move(enumeration), handle,
                              [&](Enumeration& e) { return StartFrom(e, entry, bufferSize); });
}

CacheFindResult CCacheStoreUnion::FindNextUrlCacheEntry(CacheFindHandle handle, CacheEntrySnapshot& entry,
                                                        std::uint32_t& bufferSize) {
  return m_enumerations.Next(handle, [&](Enumeration& enumeration) {
    if (enumeration.open) {
      const CacheFindResult next =
          m_stores[enumeration.store]->FindNextUrlCacheEntry(enumeration.inner, entry, bufferSize);
      if (next.status != CacheQueryStatus::kNoMoreItems) return next;
      CloseInner(enumeration);
      ++enumeration.store;
    }
    return StartFrom(enumeration, entry, bufferSize);
  });
}

void CCacheStoreUnion::FindCloseUrlCache(CacheFindHandle handle) {
  Enumeration* enumeration = m_enumerations.Find(handle);
  if (enumeration == nullptr) return;
  CloseInner(*enumeration);
  m_enumerations.Close(handle);
}

void CCacheStoreUnion::DeleteUrlCacheEntry(std::u16string_view name) {
  for (ICacheEnumerationStore* store : m_stores) store->DeleteUrlCacheEntry(name);
}

CacheFindResult CCacheStoreUnion::StartFrom(Enumeration& enumeration, CacheEntrySnapshot& entry,
                                            std::uint32_t& bufferSize) {
  TRACEWELL_ASSERT(!enumeration.open);
  const std::optional<std::u16string_view> pattern =
      enumeration.pattern ? std::optional<std::u16string_view>(*enumeration.pattern) : std::nullopt;
  for (; enumeration.store < m_stores.size(); ++enumeration.store) {
    CacheFindHandle inner = 0;
    const CacheFindResult first =
        m_stores[enumeration.store]->FindFirstUrlCacheEntry(pattern, entry, bufferSize, inner);
    if (first.status == CacheQueryStatus::kNoMoreItems) continue;
    if (first.status == CacheQueryStatus::kOk) {
      enumeration.inner = inner;
      enumeration.open = true;
    }
    // An entry too large for the room is offered again at the next call: that
    // store is started afresh from this one.
    return first;
  }
  return {CacheQueryStatus::kNoMoreItems, 0};
}

void CCacheStoreUnion::CloseInner(Enumeration& enumeration) {
  if (!enumeration.open) return;
  m_stores[enumeration.store]->FindCloseUrlCache(enumeration.inner);
  enumeration.open = false;
}

}  // namespace tracewell
