#pragma once
// Tracewell's own certificate authority: it signs the leaf certificates that the
// recording proxy shows its clients for the HTTPS it intercepts.

#include <chrono>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "tls/openssl_handles.h"

namespace tracewell::tls {

class CCertificateAuthority {
 public:
  // Loads the CA kept in `directory` (files ca.pem and ca.key), or makes a new one
  // there when neither file exists: the directory is created with mode 0700 (parents
  // as needed), the key file written 0600 before any key byte goes in, both files
  // written to temporaries and renamed into place so that a crash never leaves half a
  // CA, and two processes making one at once end with one CA (the second loads the
  // first's). A directory with only one of the two files, unreadable files, a key that
  // does not match the certificate, or a certificate that is not a CA give an error
  // message naming the file and what is wrong; never a new CA over a damaged one.
  struct Loaded {
    std::unique_ptr<CCertificateAuthority> authority;
    std::string error;
  };
  static Loaded LoadOrCreate(const std::filesystem::path& directory);

  CCertificateAuthority(const CCertificateAuthority&) = delete;
  CCertificateAuthority& operator=(const CCertificateAuthority&) = delete;

  const std::filesystem::path& Directory() const { return m_directory; }
  X509* Certificate() const { return m_certificate.get(); }
  std::string CertificatePem() const;
  // Writes the certificate (never the key) in PEM to `path`, replacing a file there
  // only once the new one is whole; the error in words when it cannot.
  std::optional<std::string> ExportCertificate(const std::filesystem::path& path) const;
  // "AB:CD:..." upper-case hex of the DER certificate's SHA-256.
  std::string Sha256Fingerprint() const;
  // Base64 of the SHA-256 of the DER SubjectPublicKeyInfo, the form that Chromium's
  // --ignore-certificate-errors-spki-list takes.
  std::string SpkiSha256Base64() const;

  // A leaf for `name` (DNS name, or literal IP address -> IP SAN; CN = name), signed by
  // the CA, valid from one day ago for 397 days but never past the CA's own end, with
  // LeafKey(). Thread-safe. Throws std::runtime_error on OpenSSL failure.
  CertificateHandle IssueLeaf(std::string_view name) const;
  // One key made per CA object in memory, shared by all its leaves, never stored.
  EVP_PKEY* LeafKey() const { return m_leafKey.get(); }

 private:
  CCertificateAuthority(std::filesystem::path directory, CertificateHandle certificate, KeyHandle key);

  std::filesystem::path m_directory;
  CertificateHandle m_certificate;
  KeyHandle m_key;
  KeyHandle m_leafKey;
  std::chrono::system_clock::time_point m_notAfter;
  // OpenSSL's signing with one key from several threads at once is not promised safe.
  mutable std::mutex m_signing;
};

}  // namespace tracewell::tls
