#include "text/format.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace tracewell {

std::u16string FormatText(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list retry;
  va_copy(retry, args);
  char small[64];
  const int length = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  std::u16string text;
  if (length > 0 && static_cast<std::size_t>(length) < sizeof small) {
    text.assign(small, small + length);
  } else if (length > 0) {
    std::vector<char> large(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(large.data(), large.size(), format, retry);
    text.assign(large.data(), large.data() + length);
  }
  va_end(retry);
  return text;
}

}  // namespace tracewell
