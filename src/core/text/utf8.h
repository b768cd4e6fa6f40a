#pragma once
// UTF-8 <-> UTF-16. Malformed input never fails: an invalid UTF-8 sequence or an
// unpaired surrogate becomes U+FFFD, so text from any source can be shown and written.

#include <string>
#include <string_view>

namespace tracewell {

std::string ToUtf8(std::u16string_view text);
void AppendUtf8(std::string& out, std::u16string_view text);

std::u16string FromUtf8(std::string_view bytes);

// Whether every sequence is well-formed UTF-8.
bool IsValidUtf8(std::string_view bytes);

}  // namespace tracewell
