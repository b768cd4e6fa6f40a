#pragma once
// A log file keeps no cache snapshots, so its records name no stored body. The store
// still knows the URL: its entry is the record's response when the entry's stored
// header block is the one that response leaves, field for field (a later response
// for the URL, or a 304 that refreshed the entry, differs at least in its Date).

#include "capture/cache_store.h"
#include "record/http_transaction.h"

namespace tracewell {

// The store's entry for the record's URL when it holds the response the record got;
// null when the store has no entry, or one for another response.
SharedCacheEntry FindStoredEntry(const CHttpTransaction& record, ICacheStore& store);

}  // namespace tracewell
