#pragma once
// Symbolic names of the networking layer's error numbers 12000 to 12056.

#include <optional>
#include <string_view>

namespace tracewell {

inline constexpr int kFirstInternetError = 12000;
inline constexpr int kLastInternetError = 12056;

// The name of `code`, or none outside 12000..12056.
std::optional<std::u16string_view> InternetErrorName(int code);

}  // namespace tracewell
