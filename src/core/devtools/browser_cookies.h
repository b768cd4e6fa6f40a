#pragma once
// The launched browser's cookies as the cookie and cache manager handles them: read
// with Storage.getCookies, deleted one by one with Network.deleteCookies.

#include <vector>

#include "cache/cookie_entry_store.h"
#include "devtools/devtools_message.h"

namespace tracewell::devtools {

inline constexpr char kGetCookies[] = "Storage.getCookies";
inline constexpr char kDeleteCookies[] = "Network.deleteCookies";

// The cookies of a Storage.getCookies result; an entry without a name or a domain is
// left out.
std::vector<StoredCookie> ReadBrowserCookies(const Json& result);
// The parameters of Network.deleteCookies that delete exactly `cookie`.
Json DeleteCookieParams(const StoredCookie& cookie);

}  // namespace tracewell::devtools
