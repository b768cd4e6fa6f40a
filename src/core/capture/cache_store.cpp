#include "capture/cache_store.h"

namespace tracewell {

std::unique_ptr<CacheEntrySnapshot> TakeCacheSnapshot(ICacheStore& store, std::u16string_view url) {
  if (url.empty()) return nullptr;  // an empty URL is no cache key
  std::uint32_t size = 0;
  if (store.GetUrlCacheEntryInfo(url, nullptr, size) != CacheQueryStatus::kInsufficientBuffer) {
    return nullptr;
  }
  auto entry = std::make_unique<CacheEntrySnapshot>();
  if (store.GetUrlCacheEntryInfo(url, entry.get(), size) != CacheQueryStatus::kOk) return nullptr;
  return entry;
}

}  // namespace tracewell
