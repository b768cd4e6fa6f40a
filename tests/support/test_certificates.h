#pragma once
// Certificates for the tests' TLS origins: an origin CA that a test's client trusts,
// and leaves for a name, good or faulty in one way each, as PEM files.

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tls/openssl_handles.h"

namespace tracewell::testing {

enum class LeafKind {
  Good,       // for the name (an IP entry for an IP literal), signed by the origin CA
  Expired,    // the same, but it ended yesterday
  WrongName,  // signed by the origin CA for "wrong.example"
  UnknownCa,  // for the name, signed by a second CA that nobody trusts
};

struct LeafFiles {
  std::filesystem::path chainPem;  // the leaf, then the CA that signed it
  std::filesystem::path keyPem;
};

class TestCertificates {
 public:
  // Makes both CAs and writes the origin CA's certificate into `directory`.
  explicit TestCertificates(std::filesystem::path directory);

  std::filesystem::path OriginCaPem() const { return m_directory / "origin-ca.pem"; }
  // Writes a new leaf of that kind for `name` (a host name or an IP literal).
  LeafFiles Leaf(const std::string& name, LeafKind kind) const;

 private:
  std::filesystem::path m_directory;
  tls::KeyHandle m_originKey;
  tls::CertificateHandle m_originCa;
  tls::KeyHandle m_unknownKey;
  tls::CertificateHandle m_unknownCa;
};

// Every certificate in a PEM file, in order.
std::vector<tls::CertificateHandle> ReadCertificates(const std::filesystem::path& pem);

// X509_V_OK when `chain` (the leaf first, then what helps to reach a trusted CA)
// verifies against `trusted` alone for `name`, a host name or an IP literal; else
// OpenSSL's reason (X509_V_ERR_...).
int VerifyChain(std::span<X509* const> chain, X509* trusted, std::string_view name);

}  // namespace tracewell::testing
