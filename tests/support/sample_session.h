#pragma once
// Records that look like a real browsing session, for tests and benchmarks.

#include <cstdint>
#include <memory>

#include "record/http_transaction.h"

namespace tracewell::testing {

// A realistic record number `index`: a URL of about 80 characters, about 600 bytes
// of request headers and 400 of response headers; every tenth one is a POST.
std::unique_ptr<CHttpTransaction> MakeRealisticRecord(std::uint32_t index);

TransactionArray MakeRealisticSession(std::uint32_t count);

// A short session with every kind of record that an exchange format must carry: a
// POST redirected to a GET, a response served from the cache with both cache
// snapshots, a revalidated one, a network error, an aborted request, a request
// still running, a cleared record, and text outside ASCII. Local times on
// 1 December 2026.
TransactionArray MakeHarSampleSession();

// True when every field the log file stores is equal.
bool StoredFieldsEqual(const CHttpTransaction& a, const CHttpTransaction& b);

}  // namespace tracewell::testing
