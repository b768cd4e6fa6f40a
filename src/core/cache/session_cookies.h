#pragma once
// The cookies a recorded session saw set: what the manager lists when no browser of
// ours holds cookies it could read.

#include <vector>

#include "cache/cache_groups.h"
#include "cache/cookie_entry_store.h"
#include "record/http_transaction.h"

namespace tracewell {

// One cookie per name, domain and path, in the order first set, with the value last
// set. A cookie without a Domain attribute belongs to its response's host; one without
// a Path to "/". A response whose URL has no host sets nothing.
std::vector<StoredCookie> SessionCookies(const TransactionArray& records, const IUrlHostParser& urls);

}  // namespace tracewell
