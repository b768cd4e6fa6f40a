#pragma once
// What went wrong on the way to an origin server, as the network error numbers the
// records and views know (12002 timeout, 12007 name not resolved, ...).

#include <cstdint>

#include "proxy/asio.h"

namespace tracewell::proxy {

inline constexpr std::uint32_t kErrorTimeout = 12002;
inline constexpr std::uint32_t kErrorInvalidUrl = 12005;
inline constexpr std::uint32_t kErrorNameNotResolved = 12007;
inline constexpr std::uint32_t kErrorCannotConnect = 12029;
inline constexpr std::uint32_t kErrorConnectionAborted = 12030;
inline constexpr std::uint32_t kErrorConnectionReset = 12031;

std::uint32_t ErrorNumberFor(const error_code& ec);

}  // namespace tracewell::proxy
