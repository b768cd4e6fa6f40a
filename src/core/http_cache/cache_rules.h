#pragma once
// What a private HTTP cache (RFC 9111) does with a response it sees: whether it may
// keep it, how long it stays fresh, which request fields select it (Vary), which
// fields it keeps, what a 304 changes and which requests make it stale. Pure rules on
// parsed header blocks and times; the store applies them.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "http_cache/header_fields.h"
#include "record/system_time.h"

namespace tracewell {

struct CacheControl {
  bool noStore = false;
  bool noCache = false;
  bool isPublic = false;
  bool isPrivate = false;
  // Seconds. A malformed or repeated max-age counts as 0: the response is stale.
  std::optional<std::int64_t> maxAge;
};

// The directives of a Cache-Control value (names without case, values quoted or not).
CacheControl ParseCacheControl(std::u16string_view value);

// Whether a private cache may store the response to `method` with `status`:
// a GET, a final status other than 206 and 304, no "no-store" on either side, and
// either explicit freshness (max-age, Expires), "public"/"private", or a status that
// is cacheable by default. Authorization in the request does not matter to a
// private cache. The request comes as its header block: only its Cache-Control
// fields are read.
bool MayStore(std::u16string_view method, std::u16string_view requestHeaders, int status,
              const HeaderFields& response);

// Statuses a cache may give a heuristic freshness when nothing explicit is said.
bool IsHeuristicallyCacheable(int status);

// The freshness lifetime in seconds: max-age, else Expires minus Date (a bad Expires
// means already expired), else for a heuristically cacheable status 10 % of Date
// minus Last-Modified; none when nothing gives one. A missing Date counts as
// `received`.
std::optional<std::int64_t> FreshnessLifetime(int status, const HeaderFields& response, FileTime received);

// When the response stops being fresh: `received` plus the lifetime minus the age it
// already had (Age, or Date older than `received`); none without a lifetime.
std::optional<FileTime> ExpirationTime(int status, const HeaderFields& response, FileTime received);
// The same with the response's Last-Modified already read.
std::optional<FileTime> ExpirationTime(int status, const HeaderFields& response, FileTime received,
                                       std::optional<FileTime> lastModified);

// The response's Last-Modified time; none without a date that reads.
std::optional<FileTime> LastModified(const HeaderFields& response);

// The secondary key: each request field that the response's Vary names, as
// "name:value" lines in Vary's order (lower-case names). None for "Vary: *", which
// no later request matches. The request's header block is parsed only when the
// response has a Vary field.
std::optional<std::u16string> VaryKey(const HeaderFields& response, std::u16string_view requestHeaders);

// The response's fields as a cache stores them: without the connection's own fields
// (Connection and what it names, Keep-Alive, TE, Transfer-Encoding, Upgrade and the
// Proxy- fields). The result views the text that `response` views.
HeaderFields StoredFields(HeaderFields response);

// The stored response's headers after a 304: each field of the 304 replaces the
// stored ones of that name, except the connection's own fields and Content-Length,
// which describe this message, not the stored body. The result views the texts that
// both inputs view.
HeaderFields UpdateAfterNotModified(const HeaderFields& stored, const HeaderFields& notModified);

// An unsafe method answered without error makes what is stored for its URL stale.
bool InvalidatesStored(std::u16string_view method, int status);

}  // namespace tracewell
