#pragma once
// The grid's text order on Linux: ICU's collation for the user's locale, case-
// sensitive (tertiary strength), the way the desktop sorts words.

#include <memory>

#include "views/collator.h"

struct UCollator;

namespace tracewell {

class CIcuCollator final : public ICollator {
 public:
  // The collator of `locale` (ICU's name, "de_DE"), by default the process's
  // locale; code-unit order if ICU cannot open one.
  explicit CIcuCollator(const char* locale = nullptr);
  ~CIcuCollator() override;
  CIcuCollator(const CIcuCollator&) = delete;
  CIcuCollator& operator=(const CIcuCollator&) = delete;

  int Compare(std::u16string_view a, std::u16string_view b) const override;

 private:
  UCollator* m_collator = nullptr;
};

}  // namespace tracewell
