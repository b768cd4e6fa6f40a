#include "cache/enumerate_cache.h"

#include <utility>

#include "text/format.h"

namespace tracewell {
namespace {

// One lookup: first with the declared room, then with the room the store asks for.
// A store that asks for no more than it was given, for more than any entry needs,
// or again and again would never be satisfied: that lookup fails.
template <typename Find>
CacheFindResult FindWithGrowingBuffer(Find&& find) {
  std::uint32_t size = kFirstEntryBufferSize;
  for (int growths = 0;; ++growths) {
    const std::uint32_t declared = size;
    const CacheFindResult result = find(size);
    if (result.status != CacheQueryStatus::kInsufficientBuffer) return result;
    if (size <= declared || size > kMaxEntryBufferSize || growths == kMaxEntryBufferGrowths) {
      return {CacheQueryStatus::kFailed, kErrorInsufficientBuffer};
    }
  }
}

// Closes the enumeration however the loop ends.
class EnumerationCloser {
 public:
  EnumerationCloser(ICacheEnumerationStore& store, CacheFindHandle handle) : m_store(store), m_handle(handle) {}
  ~EnumerationCloser() { m_store.FindCloseUrlCache(m_handle); }
  EnumerationCloser(const EnumerationCloser&) = delete;
  EnumerationCloser& operator=(const EnumerationCloser&) = delete;

 private:
  ICacheEnumerationStore& m_store;
  CacheFindHandle m_handle;
};

}  // namespace

bool EnumerateCache(ICacheEnumerationStore& store, std::optional<std::u16string_view> pattern,
                    const CacheEntryAction& action, IMessageBox& messages) {
  CacheEntrySnapshot first;
  CacheFindHandle handle = 0;
  const CacheFindResult started = FindWithGrowingBuffer([&](std::uint32_t& size) {
    return store.FindFirstUrlCacheEntry(pattern, first, size, handle);
  });
  if (started.status != CacheQueryStatus::kOk) return started.status == CacheQueryStatus::kNoMoreItems;

  const EnumerationCloser closer(store, handle);
  action(std::move(first));
  for (;;) {
    CacheEntrySnapshot next;
    const CacheFindResult found = FindWithGrowingBuffer([&](std::uint32_t& size) {
      return store.FindNextUrlCacheEntry(handle, next, size);
    });
    if (found.status == CacheQueryStatus::kNoMoreItems) return true;
    if (found.status != CacheQueryStatus::kOk) {
      const std::u16string error = FormatText("%d", static_cast<int>(found.error));
      messages.ShowMessage({error, kFindNextFailedCaption});
      return false;
    }
    action(std::move(next));
  }
}

}  // namespace tracewell
