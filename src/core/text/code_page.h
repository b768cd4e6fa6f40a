#pragma once
// The narrow code page: windows-1252, undefined bytes included. Every byte maps to
// one UTF-16 code unit and back (the five bytes 1252 leaves undefined map to the C1
// control with the same number), so narrow text read from a file survives a round
// trip whatever code page wrote it. A character the code page cannot hold is
// written as "?".

#include <string>
#include <string_view>

namespace tracewell {

// Narrow bytes to UTF-16; one code unit per byte, NUL bytes included.
std::u16string FromCodePage(std::string_view bytes);

// Narrow bytes up to (not including) the first NUL byte, to UTF-16.
std::u16string FromCodePageUntilNul(std::string_view bytes);

// UTF-16 to narrow bytes, appended to `out`. A surrogate pair (or a lone surrogate)
// is one character the code page cannot hold and becomes one "?".
void AppendCodePage(std::string& out, std::u16string_view text);

std::string ToCodePage(std::u16string_view text);

}  // namespace tracewell
