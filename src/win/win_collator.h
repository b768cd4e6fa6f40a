#pragma once
// Text order of the grid's sorting: the user's locale, case-sensitive (lstrcmpW).

#include "views/collator.h"

namespace tracewell::win {

class CWinCollator final : public ICollator {
 public:
  int Compare(std::u16string_view a, std::u16string_view b) const override;
};

}  // namespace tracewell::win
