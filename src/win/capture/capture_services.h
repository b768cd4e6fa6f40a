#pragma once
// The clock and the cache store of the process's captures. They are the process's,
// not a band's: a request still running when its band is gone keeps using them.

#include "capture/capture_registration.h"

namespace tracewell::win {

CaptureServices ProcessCaptureServices();

}  // namespace tracewell::win
