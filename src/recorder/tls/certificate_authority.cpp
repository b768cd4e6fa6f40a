#include "tls/certificate_authority.h"

#include <openssl/evp.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <ctime>
#include <stdexcept>

#include "session_io/file_io.h"
#include "tls/ca_store.h"
#include "tls/certificate_builder.h"

namespace tracewell::tls {
namespace {

using Clock = std::chrono::system_clock;

// Both start a day early, so that a client whose clock is somewhat behind still
// accepts them.
constexpr std::chrono::hours kDay{24};
constexpr std::chrono::years kCaLifetime{10};
// Browsers refuse server certificates valid for more than 398 days.
constexpr auto kLeafLifetime = 397 * kDay;
// X.509 limits CN to 64 characters.
constexpr std::size_t kMaxCommonName = 64;
// "Tracewell CA " + host + " YYYY-MM-DD" must fit in the CN.
constexpr std::size_t kMaxHostInName = kMaxCommonName - 24;

// This machine's name as it goes in the CA's name: letters, digits, '.' and '-' only.
std::string HostForName() {
  std::array<char, 256> host{};
  if (gethostname(host.data(), host.size() - 1) != 0) return "localhost";
  std::string name;
  for (const char c : std::string_view(host.data())) {
    if (std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-') name += c;
  }
  if (name.empty()) return "localhost";
  return name.substr(0, kMaxHostInName);
}

std::string UtcDate(Clock::time_point when) {
  const std::time_t time = Clock::to_time_t(when);
  std::tm utc{};
  gmtime_r(&time, &utc);
  std::array<char, 16> text{};
  std::strftime(text.data(), text.size(), "%Y-%m-%d", &utc);
  return text.data();
}

// The same time of day `count` calendar years after `start` (28 February for 29 February).
Clock::time_point YearsAfter(Clock::time_point start, std::chrono::years count) {
  const auto day = std::chrono::floor<std::chrono::days>(start);
  auto date = std::chrono::year_month_day(day) + count;
  if (!date.ok()) date = date.year() / date.month() / std::chrono::last;
  return std::chrono::sys_days(date) + (start - day);
}

StoredCa MakeNewCa() {
  const auto now = Clock::now();
  KeyHandle key = NewEcKey();
  CertificateRequest request;
  request.commonName = "Tracewell CA " + HostForName() + " " + UtcDate(now);
  request.organization = "Tracewell";
  request.authority = true;
  request.notBefore = now - kDay;
  request.notAfter = YearsAfter(request.notBefore, kCaLifetime);
  CertificateHandle certificate = IssueCertificate(request, key.get(), nullptr, key.get());
  return {std::move(certificate), std::move(key)};
}

Clock::time_point NotAfter(const X509* certificate) {
  std::tm end{};
  if (ASN1_TIME_to_tm(X509_get0_notAfter(certificate), &end) != 1) {
    ThrowOpenSslError("cannot read the certificate authority's end of validity");
  }
  return Clock::from_time_t(timegm(&end));
}

std::string ColonHex(const unsigned char* bytes, std::size_t size) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (std::size_t i = 0; i < size; ++i) {
    if (i > 0) text += ':';
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 0x0F];
  }
  return text;
}

}  // namespace

CCertificateAuthority::Loaded CCertificateAuthority::LoadOrCreate(const std::filesystem::path& directory) {
  try {
    auto stored = LoadOrStoreCa(directory, MakeNewCa);
    if (auto* error = std::get_if<StoreError>(&stored)) return {nullptr, std::move(error->message)};
    auto& ca = std::get<StoredCa>(stored);
    return {std::unique_ptr<CCertificateAuthority>(
                new CCertificateAuthority(directory, std::move(ca.certificate), std::move(ca.key))),
            {}};
  } catch (const std::exception& e) {
    return {nullptr, "cannot make the certificate authority in " + directory.string() + ": " + e.what()};
  }
}

CCertificateAuthority::CCertificateAuthority(std::filesystem::path directory,
                                             CertificateHandle certificate, KeyHandle key)
    : m_directory(std::move(directory)),
      m_certificate(std::move(certificate)),
      m_key(std::move(key)),
      m_leafKey(NewEcKey()),
      m_notAfter(NotAfter(m_certificate.get())) {}

std::string CCertificateAuthority::CertificatePem() const {
  return tls::CertificatePem(m_certificate.get());
}

std::optional<std::string> CCertificateAuthority::ExportCertificate(
    const std::filesystem::path& path) const {
  const std::string pem = CertificatePem();
  const auto error = WriteFileReplacing(path, [&](IByteSink& sink) {
    sink.Write(pem);
    return std::optional<FileError>();
  });
  if (error) return error->message;
  return std::nullopt;
}

std::string CCertificateAuthority::Sha256Fingerprint() const {
  std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
  unsigned int size = 0;
  if (X509_digest(m_certificate.get(), EVP_sha256(), digest.data(), &size) != 1) {
    ThrowOpenSslError("cannot hash the certificate");
  }
  return ColonHex(digest.data(), size);
}

std::string CCertificateAuthority::SpkiSha256Base64() const {
  unsigned char* der = nullptr;
  const int size = i2d_X509_PUBKEY(X509_get_X509_PUBKEY(m_certificate.get()), &der);
  if (size <= 0) ThrowOpenSslError("cannot encode the public key");
  std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
  unsigned int digestSize = 0;
  const int hashed = EVP_Digest(der, static_cast<std::size_t>(size), digest.data(), &digestSize,
                                EVP_sha256(), nullptr);
  OPENSSL_free(der);
  if (hashed != 1) ThrowOpenSslError("cannot hash the public key");
  std::array<unsigned char, 4 * EVP_MAX_MD_SIZE / 3 + 4> base64{};
  const int length = EVP_EncodeBlock(base64.data(), digest.data(), static_cast<int>(digestSize));
  return std::string(reinterpret_cast<const char*>(base64.data()), static_cast<std::size_t>(length));
}

CertificateHandle CCertificateAuthority::IssueLeaf(std::string_view name) const {
  if (name.empty()) throw std::invalid_argument("a leaf certificate needs a name");
  const auto now = Clock::now();
  CertificateRequest request;
  // A name too long for the CN is carried by the subjectAltName alone, which is what
  // clients check anyway.
  if (name.size() <= kMaxCommonName) request.commonName = name;
  request.names = {std::string(name)};
  request.notBefore = now - kDay;
  request.notAfter = std::min(request.notBefore + kLeafLifetime, m_notAfter);
  const std::lock_guard lock(m_signing);
  return IssueCertificate(request, m_leafKey.get(), m_certificate.get(), m_key.get());
}

}  // namespace tracewell::tls
