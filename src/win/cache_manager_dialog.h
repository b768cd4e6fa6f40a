#pragma once
// The modal "Clear Cache and Cookie" dialog over the core's manager model: the hosts
// of the cache with the number of files of each, the files of the chosen host, the
// preview of the chosen file below them (text in the text box, a picture drawn where
// the model places it), and the buttons that clear a host's files or every cookie,
// or save the chosen file elsewhere.

#include <windows.h>

#include "cache/cookie_cache_dialog.h"

namespace tracewell::win {

namespace cache_manager_id {
inline constexpr WORD kHostList = 242;
inline constexpr WORD kFileList = 244;
inline constexpr WORD kHostCount = 246;
inline constexpr WORD kClearCache = 247;
inline constexpr WORD kFileCount = 249;
inline constexpr WORD kClearCookie = 250;
inline constexpr WORD kSaveAs = 252;
inline constexpr WORD kPreviewFrame = 254;
inline constexpr WORD kPreviewText = 256;
inline constexpr WORD kExit = IDCANCEL;
}  // namespace cache_manager_id

// Runs the dialog over `owner` on the WinINet cache; message boxes and the save
// dialog come over the manager.
void RunCookieCacheManager(HWND owner);

}  // namespace tracewell::win
