#include "capture/capture_services.h"

#include "capture/win_clock.h"
#include "capture/wininet_cache_store.h"

namespace tracewell::win {

CaptureServices ProcessCaptureServices() {
  // Neither keeps state, and neither is ever destroyed, so no binding outlives them.
  static const CWinClock* const clock = new CWinClock();
  static CWinInetCacheStore* const cacheStore = new CWinInetCacheStore();
  return {*clock, *cacheStore};
}

}  // namespace tracewell::win
