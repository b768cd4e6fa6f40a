#pragma once
// The machine's clock and time zone.

#include "record/clock.h"

namespace tracewell::win {

class CWinClock final : public IClock {
 public:
  SystemTime LocalNow() const override;
  std::optional<FileTime> LocalFromUtc(FileTime utc) const override;
};

}  // namespace tracewell::win
