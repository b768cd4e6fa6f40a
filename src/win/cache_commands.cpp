#include "cache_commands.h"

#include "cache/cache_tools.h"
#include "cache_manager_dialog.h"
#include "capture/wininet_cache_store.h"
#include "views/main_commands.h"
#include "win_message_box.h"

namespace tracewell::win {

bool RunCacheCommand(int commandId, HWND owner) {
  CWinInetCacheStore store;
  CWinMessageBox messages(owner);
  switch (commandId) {
    case command::kCookieCacheManager:
      RunCookieCacheManager(owner);
      return true;
    case command::kClearAllCookies:
      ClearAllCookies(store, messages);
      return true;
    case command::kClearAllCaches:
      ClearAllCaches(store, messages);
      return true;
    default:
      return false;
  }
}

}  // namespace tracewell::win
