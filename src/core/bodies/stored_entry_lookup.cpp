#include "bodies/stored_entry_lookup.h"

#include "http_cache/cache_rules.h"

namespace tracewell {

SharedCacheEntry FindStoredEntry(const CHttpTransaction& record, ICacheStore& store) {
  if (record.m_strResponseHeaders.empty()) return nullptr;
  auto entry = TakeCacheSnapshot(store, record.m_strUrl);
  if (!entry ||
      entry->HeaderInfo != HeaderBlockText(StoredFields(ParseHeaderFields(record.m_strResponseHeaders)))) {
    return nullptr;
  }
  return entry;
}

}  // namespace tracewell
