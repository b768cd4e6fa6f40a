#pragma once
// A stored response as the URL cache's entry record shows it: what the capture
// engine's before and after snapshots and the cache manager read. Any store that
// keeps responses builds its records here.

#include <cstdint>
#include <string>
#include <string_view>

#include "http_cache/header_fields.h"
#include "record/cache_entry_snapshot.h"

namespace tracewell {

// The status code of a stored status line ("HTTP/1.1 200 OK" gives 200); 0 when it
// has none.
int StatusOf(const HeaderFields& headers);

// The extension of the URL's last path segment, without the dot ("" when none).
std::u16string UrlFileExtension(std::u16string_view url);

// A new entry for `url` whose body, `bodySize` bytes, is in `localFile`: the stored
// headers, Last-Modified, the expiry its freshness gives (0 without one), and
// `received` as sync and access time. Not used yet: both counts 0.
CacheEntrySnapshot NewEntrySnapshot(std::u16string url, std::u16string localFile, const HeaderFields& stored,
                                    std::uint64_t bodySize, FileTime received);

// The entry after a 304 received at `received`: its headers updated, its expiry
// and Last-Modified recomputed from them, synced then.
void RefreshEntrySnapshot(CacheEntrySnapshot& entry, const HeaderFields& notModified, FileTime received);

// One request for the entry's URL at `now`; `hit` when the entry could answer it.
void CountUse(CacheEntrySnapshot& entry, bool hit, FileTime now);

}  // namespace tracewell
