#pragma once
// The machine's local time for the core's clock interface.

#include "record/clock.h"

namespace tracewell {

class SystemClock final : public IClock {
 public:
  SystemTime LocalNow() const override;
  std::optional<FileTime> LocalFromUtc(FileTime utc) const override;
};

// Now, UTC, on the FILETIME scale.
FileTime UtcFileTimeNow();

}  // namespace tracewell
