#pragma once
// The text order the grid sorts by: locale-aware and case-sensitive. Each host
// brings its own (ICU on Linux, the system's on Windows).

#include <string_view>

namespace tracewell {

class ICollator {
 public:
  virtual ~ICollator() = default;
  // Negative, zero or positive as `a` sorts before, with or after `b`.
  virtual int Compare(std::u16string_view a, std::u16string_view b) const = 0;
};

}  // namespace tracewell
