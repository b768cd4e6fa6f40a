#pragma once
// Result codes of the protocol layer's calls, with the values the platform uses so
// that a host can pass them through unchanged. Negative means failure.

#include <cstdint>

namespace tracewell {

struct HResult {
  std::int32_t value = 0;

  constexpr bool Failed() const { return value < 0; }
  friend constexpr bool operator==(HResult, HResult) = default;
};

namespace hr {
inline constexpr HResult Ok{0};
inline constexpr HResult False{1};
inline constexpr HResult NotImpl{static_cast<std::int32_t>(0x80004001u)};
inline constexpr HResult NoInterface{static_cast<std::int32_t>(0x80004002u)};
inline constexpr HResult Pointer{static_cast<std::int32_t>(0x80004003u)};
inline constexpr HResult Abort{static_cast<std::int32_t>(0x80004004u)};
inline constexpr HResult Fail{static_cast<std::int32_t>(0x80004005u)};
inline constexpr HResult Pending{static_cast<std::int32_t>(0x8000000Au)};
inline constexpr HResult Unexpected{static_cast<std::int32_t>(0x8000FFFFu)};
}  // namespace hr

}  // namespace tracewell
