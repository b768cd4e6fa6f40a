#pragma once
// Keys and X.509 certificates made in memory, and their PEM text.

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "tls/openssl_handles.h"

namespace tracewell::tls {

// A new ECDSA key on the P-256 curve. Throws std::runtime_error on failure.
KeyHandle NewEcKey();

struct CertificateRequest {
  std::string commonName;    // empty: no CN (the names then carry the identity alone)
  std::string organization;  // empty: no O
  std::vector<std::string> names;  // subjectAltName: DNS names, or literal IPv4/IPv6 addresses as IP entries
  bool authority = false;          // a CA: basicConstraints critical CA:TRUE, keyUsage keyCertSign+cRLSign; else CA:FALSE, digitalSignature+keyEncipherment, extendedKeyUsage serverAuth
  std::chrono::system_clock::time_point notBefore, notAfter;
};

// Signed with SHA-256 by issuerKey; issuer null: self-signed (issuerKey is the
// subject's key). Random 128-bit positive serial; subjectKeyIdentifier and
// authorityKeyIdentifier. Throws std::runtime_error with OpenSslErrorText() on failure.
CertificateHandle IssueCertificate(const CertificateRequest& request, EVP_PKEY* subjectKey,
                                   X509* issuer, EVP_PKEY* issuerKey);

std::string CertificatePem(X509* certificate);
// PKCS#8, unencrypted: for the key file only.
std::string PrivateKeyPem(EVP_PKEY* key);

// The first certificate in `pem`, or null with the reason on the OpenSSL error queue.
CertificateHandle CertificateFromPem(std::string_view pem);
// The private key in `pem`, or null with the reason on the OpenSSL error queue. An
// encrypted key is refused rather than asked a password for on the terminal.
KeyHandle PrivateKeyFromPem(std::string_view pem);

}  // namespace tracewell::tls
