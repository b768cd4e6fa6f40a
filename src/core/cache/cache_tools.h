#pragma once
// The two Tools commands that empty the browser cache without opening the manager.
// Each asks first and reports nothing afterwards (a failed lookup still shows its
// error number).

#include "cache/cache_entry_store.h"
#include "text/message_box.h"

namespace tracewell {

inline constexpr UserMessage kMsgDeleteAllCookies{u"Are you sure you want to delete all cookies.",
                                                  u"Delete Cookies"};
inline constexpr UserMessage kMsgDeleteAllCaches{u"Are you sure you want to delete all caches.",
                                                 u"Delete Caches"};

// Deletes every entry the store enumerates for the pattern "Cookie:".
void ClearAllCookies(ICacheEnumerationStore& store, IMessageBox& messages);
// Deletes every entry whose name does not begin with exactly "Cookie:"; history
// entries and other schemes go too. True when the user said Yes (a store that can
// only be emptied whole is emptied then).
bool ClearAllCaches(ICacheEnumerationStore& store, IMessageBox& messages);

}  // namespace tracewell
