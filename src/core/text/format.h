#pragma once
// printf-style formatting into UTF-16 for the numeric texts the program shows
// ("%d", "%ld", "%.3f", "%d:%d:%d %d"). The format is checked by the compiler; the
// result is ASCII, widened unit by unit.

#include <string>

namespace tracewell {

std::u16string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace tracewell
