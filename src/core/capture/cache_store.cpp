#include "capture/cache_store.h"

#include <algorithm>
#include <cstdint>

namespace tracewell {
namespace {

// The platform's record on a 64-bit build: four string pointers, eight 32-bit fields,
// four FILETIMEs, the header size and the exempt delta, padded.
constexpr std::uint32_t kEntryRecordFixedSize = 112;

std::uint64_t StringBytes(const std::u16string& text) { return (text.size() + 1) * sizeof(char16_t); }

}  // namespace

std::uint32_t CacheEntryRecordSize(const CacheEntrySnapshot& entry) {
  const std::uint64_t size = kEntryRecordFixedSize + StringBytes(entry.SourceUrlName) +
                             StringBytes(entry.LocalFileName) + StringBytes(entry.HeaderInfo) +
                             StringBytes(entry.FileExtension);
  // No entry can be that large; saturating keeps a caller's growing buffer bounded.
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(size, UINT32_MAX));
}

CacheQueryStatus AnswerCacheEntry(const CacheEntrySnapshot& found, CacheEntrySnapshot* entry,
                                  std::uint32_t& bufferSize) {
  const std::uint32_t needed = CacheEntryRecordSize(found);
  if (entry == nullptr || bufferSize < needed) {
    bufferSize = needed;
    return CacheQueryStatus::kInsufficientBuffer;
  }
  *entry = found;
  return CacheQueryStatus::kOk;
}

SharedCacheEntry ICacheStore::SharedEntry(std::u16string_view url) {
  std::uint32_t size = 0;
  if (GetUrlCacheEntryInfo(url, nullptr, size) != CacheQueryStatus::kInsufficientBuffer) return nullptr;
  auto entry = std::make_shared<CacheEntrySnapshot>();
  if (GetUrlCacheEntryInfo(url, entry.get(), size) != CacheQueryStatus::kOk) return nullptr;
  return entry;
}

SharedCacheEntry TakeCacheSnapshot(ICacheStore& store, std::u16string_view url) {
  return url.empty() ? nullptr : store.SharedEntry(url);
}

}  // namespace tracewell
