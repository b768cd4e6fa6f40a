#include "cache/cache_tools.h"

#include "cache/cache_groups.h"
#include "cache/enumerate_cache.h"

namespace tracewell {

void ClearAllCookies(ICacheEnumerationStore& store, IMessageBox& messages) {
  if (!messages.AskYesNo(kMsgDeleteAllCookies)) return;
  EnumerateCache(
      store, kCookieEntryPrefix,
      [&](CacheEntrySnapshot&& entry) { store.DeleteUrlCacheEntry(entry.SourceUrlName); }, messages);
}

bool ClearAllCaches(ICacheEnumerationStore& store, IMessageBox& messages) {
  if (!messages.AskYesNo(kMsgDeleteAllCaches)) return false;
  EnumerateCache(
      store, std::nullopt,
      [&](CacheEntrySnapshot&& entry) {
        if (!entry.SourceUrlName.starts_with(kCookieEntryPrefix)) store.DeleteUrlCacheEntry(entry.SourceUrlName);
      },
      messages);
  return true;
}

}  // namespace tracewell
