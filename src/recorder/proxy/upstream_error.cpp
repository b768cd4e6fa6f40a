#include "proxy/upstream_error.h"

#include "proxy/tls_failure.h"

namespace tracewell::proxy {

std::uint32_t ErrorNumberFor(const error_code& ec) {
  namespace errors = asio::error;
  if (ec.category() == TlsFailureCategory()) {
    switch (static_cast<TlsFailure>(ec.value())) {
      case TlsFailure::kCertificateDate: return kErrorCertificateDate;
      case TlsFailure::kCertificateName: return kErrorCertificateName;
      case TlsFailure::kUnknownAuthority: return kErrorUnknownAuthority;
      case TlsFailure::kCertificate: return kErrorCertificate;
      case TlsFailure::kHandshake: return kErrorConnectionAborted;
    }
  }
  if (ec == beast::error::timeout || ec == errors::timed_out) return kErrorTimeout;
  if (ec == errors::host_not_found || ec == errors::host_not_found_try_again ||
      ec == errors::no_data || ec == errors::no_recovery) {
    return kErrorNameNotResolved;
  }
  if (ec == errors::connection_refused || ec == errors::network_unreachable ||
      ec == errors::host_unreachable || ec == boost::system::errc::address_not_available) {
    return kErrorCannotConnect;
  }
  if (ec == errors::connection_reset || ec == errors::broken_pipe) return kErrorConnectionReset;
  return kErrorConnectionAborted;
}

}  // namespace tracewell::proxy
