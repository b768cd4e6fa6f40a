#include "icu_collator.h"

#include <unicode/ucol.h>

#include <algorithm>
#include <cstdint>

namespace tracewell {
namespace {

// ICU takes 32-bit lengths; a text beyond that compares on its first 2^31-1 units.
std::int32_t Length(std::u16string_view text) {
  return static_cast<std::int32_t>(std::min<std::size_t>(text.size(), INT32_MAX));
}

}  // namespace

CIcuCollator::CIcuCollator(const char* locale) {
  UErrorCode status = U_ZERO_ERROR;
  m_collator = ucol_open(locale, &status);
  if (U_FAILURE(status)) {
    ucol_close(m_collator);
    m_collator = nullptr;
    return;
  }
  ucol_setStrength(m_collator, UCOL_TERTIARY);
}

CIcuCollator::~CIcuCollator() { ucol_close(m_collator); }

int CIcuCollator::Compare(std::u16string_view a, std::u16string_view b) const {
  if (!m_collator) return a.compare(b);
  return ucol_strcoll(m_collator, a.data(), Length(a), b.data(), Length(b));
}

}  // namespace tracewell
