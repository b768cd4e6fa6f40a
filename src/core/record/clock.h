#pragma once
// Where "now" and the local time zone come from. Hosts give the machine's; tests
// fix them.

#include "record/system_time.h"

namespace tracewell {

class IClock {
 public:
  virtual ~IClock() = default;
  // The current local time, to the millisecond, with the day of week filled in.
  virtual SystemTime LocalNow() const = 0;
  // A UTC instant on the FILETIME scale as local time on the same scale; none when
  // the zone rules cannot convert it.
  virtual std::optional<FileTime> LocalFromUtc(FileTime utc) const = 0;
};

}  // namespace tracewell
