#include "proxy/tls_failure.h"

#include <openssl/err.h>
#include <openssl/x509_vfy.h>

#include <optional>

#include <boost/asio/ssl/error.hpp>

namespace tracewell::proxy {
namespace {

// Boost's error_category has a public non-virtual destructor; categories are
// static objects that are never deleted through it.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class CTlsFailureCategory final : public boost::system::error_category {
 public:
  const char* name() const noexcept override { return "tracewell.tls"; }
  std::string message(int value) const override {
    switch (static_cast<TlsFailure>(value)) {
      case TlsFailure::kCertificateDate: return "the certificate has expired or is not yet valid";
      case TlsFailure::kCertificateName: return "the certificate is for another name";
      case TlsFailure::kUnknownAuthority:
        return "the certificate is issued by an authority that is not trusted";
      case TlsFailure::kCertificate: return "the certificate is not valid";
      case TlsFailure::kHandshake: return "the TLS handshake failed";
    }
    return "unknown TLS failure";
  }
};
#pragma GCC diagnostic pop

TlsFailure FailureOfVerification(long result) {
  switch (result) {
    case X509_V_ERR_CERT_HAS_EXPIRED:
    case X509_V_ERR_CERT_NOT_YET_VALID:
    case X509_V_ERR_ERROR_IN_CERT_NOT_BEFORE_FIELD:
    case X509_V_ERR_ERROR_IN_CERT_NOT_AFTER_FIELD:
      return TlsFailure::kCertificateDate;
    case X509_V_ERR_HOSTNAME_MISMATCH:
    case X509_V_ERR_IP_ADDRESS_MISMATCH:
      return TlsFailure::kCertificateName;
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
    case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
    case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
    case X509_V_ERR_CERT_UNTRUSTED:
      return TlsFailure::kUnknownAuthority;
    default:
      return TlsFailure::kCertificate;
  }
}

// The alert a peer sent to refuse our certificate, as OpenSSL reports it (its reason
// code is the alert's number plus SSL_AD_REASON_OFFSET).
std::optional<TlsFailure> FailureOfAlert(int reason) {
  switch (reason - SSL_AD_REASON_OFFSET) {
    case SSL_AD_UNKNOWN_CA: return TlsFailure::kUnknownAuthority;
    case SSL_AD_CERTIFICATE_EXPIRED: return TlsFailure::kCertificateDate;
    case SSL_AD_BAD_CERTIFICATE:
    case SSL_AD_UNSUPPORTED_CERTIFICATE:
    case SSL_AD_CERTIFICATE_REVOKED:
    case SSL_AD_CERTIFICATE_UNKNOWN:
      return TlsFailure::kCertificate;
    default: return std::nullopt;
  }
}

bool IsTlsError(const error_code& ec) {
  return ec.category() == asio::error::get_ssl_category() ||
         ec.category() == asio::ssl::error::get_stream_category();
}

}  // namespace

const boost::system::error_category& TlsFailureCategory() {
  static const CTlsFailureCategory category;
  return category;
}

error_code MakeErrorCode(TlsFailure failure) {
  return {static_cast<int>(failure), TlsFailureCategory()};
}

error_code TlsFailureOf(SSL* tls, const error_code& ec) {
  if (!IsTlsError(ec)) return ec;
  if (const long result = SSL_get_verify_result(tls); result != X509_V_OK) {
    return MakeErrorCode(FailureOfVerification(result));
  }
  if (ec.category() == asio::error::get_ssl_category()) {
    if (const auto failure = FailureOfAlert(ERR_GET_REASON(static_cast<unsigned long>(ec.value())))) {
      return MakeErrorCode(*failure);
    }
  }
  return MakeErrorCode(TlsFailure::kHandshake);
}

std::string TlsFailureDetail(SSL* tls, const error_code& ec) {
  if (const long result = SSL_get_verify_result(tls); result != X509_V_OK) {
    return X509_verify_cert_error_string(result);
  }
  return ec.message();
}

}  // namespace tracewell::proxy
