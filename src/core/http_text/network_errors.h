#pragma once
// The networking layer's error numbers 12000 to 12056: their symbolic names, and the
// number for a browser's own error name.

#include <cstdint>
#include <optional>
#include <string_view>

namespace tracewell {

inline constexpr int kFirstInternetError = 12000;
inline constexpr int kLastInternetError = 12056;

// The numbers the protocol layers report.
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

// The name of `code`, or none outside 12000..12056.
std::optional<std::u16string_view> InternetErrorName(int code);

// The number for a browser's network error text ("net::ERR_CONNECTION_REFUSED", the
// "net::" optional), or none for "ERR_ABORTED": a request the browser gave up has no
// number, it was aborted. An error the table does not know gets the closest general
// number: 12054 (certificate errors) for "ERR_CERT_...", 12030 (connection aborted,
// as for any failure on the way without a number of its own) for the rest.
std::optional<std::uint32_t> NetworkErrorNumber(std::string_view errorText);

}  // namespace tracewell
