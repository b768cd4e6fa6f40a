#pragma once
// Code-unit order: deterministic, and case-sensitive like the real collators.

#include "views/collator.h"

namespace tracewell::testing {

class OrdinalCollator final : public ICollator {
 public:
  int Compare(std::u16string_view a, std::u16string_view b) const override { return a.compare(b); }
};

}  // namespace tracewell::testing
