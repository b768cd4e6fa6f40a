#include "support/test_certificates.h"

#include <openssl/err.h>
#include <openssl/pem.h>

#include <chrono>
#include <stdexcept>

#include "support/temp_dir.h"
#include "tls/certificate_builder.h"
#include "tls/expected_name.h"

namespace tracewell::testing {
namespace {

using Clock = std::chrono::system_clock;
constexpr std::chrono::hours kDay{24};

tls::CertificateHandle SelfSignedCa(const std::string& commonName, EVP_PKEY* key) {
  tls::CertificateRequest request;
  request.commonName = commonName;
  request.authority = true;
  request.notBefore = Clock::now() - kDay;
  request.notAfter = Clock::now() + 30 * kDay;
  return tls::IssueCertificate(request, key, nullptr, key);
}

const char* KindName(LeafKind kind) {
  switch (kind) {
    case LeafKind::Good: return "good";
    case LeafKind::Expired: return "expired";
    case LeafKind::WrongName: return "wrong-name";
    case LeafKind::UnknownCa: return "unknown-ca";
  }
  throw std::invalid_argument("unknown leaf kind");
}

}  // namespace

TestCertificates::TestCertificates(std::filesystem::path directory)
    : m_directory(std::move(directory)),
      m_originKey(tls::NewEcKey()),
      m_originCa(SelfSignedCa("Tracewell test origin CA", m_originKey.get())),
      m_unknownKey(tls::NewEcKey()),
      m_unknownCa(SelfSignedCa("Tracewell test unknown CA", m_unknownKey.get())) {
  std::filesystem::create_directories(m_directory);
  WriteWholeFile(OriginCaPem(), tls::CertificatePem(m_originCa.get()));
}

LeafFiles TestCertificates::Leaf(const std::string& name, LeafKind kind) const {
  const auto now = Clock::now();
  tls::CertificateRequest request;
  request.commonName = kind == LeafKind::WrongName ? "wrong.example" : name;
  request.names = {request.commonName};
  request.notBefore = now - (kind == LeafKind::Expired ? 30 * kDay : kDay);
  request.notAfter = kind == LeafKind::Expired ? now - kDay : now + 30 * kDay;
  X509* issuer = kind == LeafKind::UnknownCa ? m_unknownCa.get() : m_originCa.get();
  EVP_PKEY* issuerKey = kind == LeafKind::UnknownCa ? m_unknownKey.get() : m_originKey.get();
  const tls::KeyHandle key = tls::NewEcKey();
  const auto leaf = tls::IssueCertificate(request, key.get(), issuer, issuerKey);

  const std::string stem = std::string(KindName(kind)) + "-" + name;
  LeafFiles files{m_directory / (stem + ".pem"), m_directory / (stem + ".key")};
  WriteWholeFile(files.chainPem, tls::CertificatePem(leaf.get()) + tls::CertificatePem(issuer));
  WriteWholeFile(files.keyPem, tls::PrivateKeyPem(key.get()));
  return files;
}

std::vector<tls::CertificateHandle> ReadCertificates(const std::filesystem::path& pem) {
  const std::string text = ReadWholeFile(pem);
  const tls::BioHandle bio(BIO_new_mem_buf(text.data(), static_cast<int>(text.size())));
  std::vector<tls::CertificateHandle> certificates;
  while (X509* certificate = PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr)) {
    certificates.emplace_back(certificate);
  }
  ERR_clear_error();  // the end of the text is reported as an error
  return certificates;
}

int VerifyChain(std::span<X509* const> chain, X509* trusted, std::string_view name) {
  if (chain.empty()) throw std::invalid_argument("no certificate to verify");
  const tls::StoreHandle store(X509_STORE_new());
  const tls::StoreContextHandle context(X509_STORE_CTX_new());
  // The stack only borrows the certificates of `chain`.
  const auto freeStack = [](STACK_OF(X509) * stack) { sk_X509_free(stack); };
  const std::unique_ptr<STACK_OF(X509), decltype(freeStack)> untrusted(sk_X509_new_null(), freeStack);
  if (!store || !context || !untrusted || X509_STORE_add_cert(store.get(), trusted) != 1) {
    tls::ThrowOpenSslError("cannot set up the verification");
  }
  for (X509* certificate : chain.subspan(1)) {
    if (sk_X509_push(untrusted.get(), certificate) == 0) tls::ThrowOpenSslError("cannot set up the verification");
  }
  if (X509_STORE_CTX_init(context.get(), store.get(), chain.front(), untrusted.get()) != 1) {
    tls::ThrowOpenSslError("cannot set up the verification");
  }
  X509_VERIFY_PARAM* parameters = X509_STORE_CTX_get0_param(context.get());
  if (!tls::ExpectName(parameters, std::string(name))) {
    tls::ThrowOpenSslError("cannot set the name to verify");
  }
  const int verified = X509_verify_cert(context.get());
  const int error = X509_STORE_CTX_get_error(context.get());
  ERR_clear_error();  // a failed verification leaves its reason on the queue too
  if (verified == 1) return X509_V_OK;
  return error != X509_V_OK ? error : X509_V_ERR_UNSPECIFIED;
}

}  // namespace tracewell::testing
