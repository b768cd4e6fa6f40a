#pragma once
// What went wrong on the way to an origin server, as the network error numbers the
// records and views know (12002 timeout, 12007 name not resolved, ...). A TLS failure
// that is not the certificate's has no number of its own: it counts as the connection
// aborted (12030).

#include <cstdint>

#include "proxy/asio.h"

namespace tracewell::proxy {

inline constexpr std::uint32_t kErrorTimeout = 12002;
inline constexpr std::uint32_t kErrorInvalidUrl = 12005;
inline constexpr std::uint32_t kErrorNameNotResolved = 12007;
inline constexpr std::uint32_t kErrorCannotConnect = 12029;
inline constexpr std::uint32_t kErrorConnectionAborted = 12030;
inline constexpr std::uint32_t kErrorConnectionReset = 12031;
inline constexpr std::uint32_t kErrorCertificateDate = 12037;
inline constexpr std::uint32_t kErrorCertificateName = 12038;
inline constexpr std::uint32_t kErrorUnknownAuthority = 12045;
inline constexpr std::uint32_t kErrorCertificate = 12054;

std::uint32_t ErrorNumberFor(const error_code& ec);

}  // namespace tracewell::proxy
