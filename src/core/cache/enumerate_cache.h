#pragma once
// The enumeration loop that the cookie and cache manager and the two Tools commands
// share: every entry the store has for a pattern, each handed to an action.

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "cache/cache_entry_store.h"
#include "text/message_box.h"

namespace tracewell {

// The room declared for every lookup before the store asks for more.
inline constexpr std::uint32_t kFirstEntryBufferSize = 4096;
// A lookup whose entry asks for more than this, or asks again after this many
// growths, fails with the insufficient-buffer error rather than grow on.
inline constexpr std::uint32_t kMaxEntryBufferSize = 1u << 20;
inline constexpr int kMaxEntryBufferGrowths = 4;

inline constexpr std::u16string_view kFindNextFailedCaption = u"FindNextUrlCacheEntry Init";

using CacheEntryAction = std::function<void(CacheEntrySnapshot&& entry)>;

// Applies `action` to every entry the store enumerates for `pattern` (none: all).
// True when the enumeration ran to its end, an empty store included. A failed first
// lookup shows nothing; a failed later one shows its error number ("%d") and keeps
// whatever the action has done to the entries before it.
bool EnumerateCache(ICacheEnumerationStore& store, std::optional<std::u16string_view> pattern,
                    const CacheEntryAction& action, IMessageBox& messages);

}  // namespace tracewell
