#pragma once
// Where "now" comes from. Hosts give the real local time; tests fix it.

#include "record/system_time.h"

namespace tracewell {

class IClock {
 public:
  virtual ~IClock() = default;
  // The current local time, to the millisecond, with the day of week filled in.
  virtual SystemTime LocalNow() const = 0;
};

}  // namespace tracewell
