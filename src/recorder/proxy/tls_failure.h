#pragma once
// Why a TLS handshake failed, in the terms a record shows: the certificate's dates,
// its name, its issuer, the certificate otherwise, or the handshake itself. An error
// code of its own category, so that it travels the same way as a socket error.

#include <openssl/ssl.h>

#include "proxy/asio.h"

namespace tracewell::proxy {

enum class TlsFailure {
  kCertificateDate = 1,  // expired or not yet valid
  kCertificateName,      // issued for another name
  kUnknownAuthority,     // issued by an authority that is not trusted
  kCertificate,          // any other fault of the certificate
  kHandshake,            // no agreement on the protocol, or no TLS at all
};

const boost::system::error_category& TlsFailureCategory();
error_code MakeErrorCode(TlsFailure failure);

// The failure of a handshake on `tls` that ended with `ec`: the verification result
// when the peer's certificate was refused, the alert when the peer refused ours, else
// kHandshake. Errors that are not TLS's (a timeout, a reset) come back unchanged.
error_code TlsFailureOf(SSL* tls, const error_code& ec);

// The reason as OpenSSL gives it (the verification error or the error's own text),
// for the failure log.
std::string TlsFailureDetail(SSL* tls, const error_code& ec);

}  // namespace tracewell::proxy
