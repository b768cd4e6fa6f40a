#include "tls/certificate_builder.h"

#include <arpa/inet.h>
#include <openssl/ec.h>
#include <openssl/pem.h>
#include <openssl/rand.h>

#include <array>
#include <limits>
#include <stdexcept>

namespace tracewell::tls {
namespace {

// X.509 names limit CN to 64 characters; a longer one makes the encoding fail.
constexpr std::size_t kMaxCommonName = 64;

BioHandle NewMemoryBio() {
  BioHandle bio(BIO_new(BIO_s_mem()));
  if (!bio) ThrowOpenSslError("cannot make a memory buffer");
  return bio;
}

std::string BioText(BIO* bio) {
  char* data = nullptr;
  const long size = BIO_get_mem_data(bio, &data);
  return std::string(data, static_cast<std::size_t>(size));
}

BioHandle ReadOnlyBio(std::string_view text) {
  if (text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
    throw std::invalid_argument("PEM text too large");
  }
  BioHandle bio(BIO_new_mem_buf(text.data(), static_cast<int>(text.size())));
  if (!bio) ThrowOpenSslError("cannot make a memory buffer");
  return bio;
}

// 16 random bytes with the top bit clear and the next one set: a positive serial of
// exactly 128 bits that is never zero.
void SetRandomSerial(X509* certificate) {
  std::array<unsigned char, 16> bytes{};
  if (RAND_bytes(bytes.data(), static_cast<int>(bytes.size())) != 1) {
    ThrowOpenSslError("cannot make a serial number");
  }
  bytes[0] = static_cast<unsigned char>((bytes[0] & 0x7F) | 0x40);
  const BignumHandle serial(BN_bin2bn(bytes.data(), static_cast<int>(bytes.size()), nullptr));
  if (!serial || BN_to_ASN1_INTEGER(serial.get(), X509_get_serialNumber(certificate)) == nullptr) {
    ThrowOpenSslError("cannot set the serial number");
  }
}

void SetValidity(X509* certificate, const CertificateRequest& request) {
  using Clock = std::chrono::system_clock;
  if (ASN1_TIME_set(X509_getm_notBefore(certificate), Clock::to_time_t(request.notBefore)) == nullptr ||
      ASN1_TIME_set(X509_getm_notAfter(certificate), Clock::to_time_t(request.notAfter)) == nullptr) {
    ThrowOpenSslError("cannot set the validity period");
  }
}

void AddNameEntry(X509_NAME* name, const char* field, const std::string& value) {
  if (value.empty()) return;
  if (value.size() > kMaxCommonName) {
    throw std::invalid_argument(std::string(field) + " longer than 64 bytes: " + value);
  }
  const auto* bytes = reinterpret_cast<const unsigned char*>(value.data());
  if (X509_NAME_add_entry_by_txt(name, field, MBSTRING_UTF8, bytes, static_cast<int>(value.size()),
                                 -1, 0) != 1) {
    ThrowOpenSslError(std::string("cannot set ") + field + " " + value);
  }
}

// A literal IPv4 or IPv6 address as the 4 or 16 bytes of an IP entry, else a DNS entry.
GENERAL_NAME* NewGeneralName(const std::string& name) {
  GENERAL_NAME* entry = GENERAL_NAME_new();
  if (entry == nullptr) return nullptr;
  std::array<unsigned char, 16> address{};
  int addressSize = 0;
  if (inet_pton(AF_INET, name.c_str(), address.data()) == 1) addressSize = 4;
  if (inet_pton(AF_INET6, name.c_str(), address.data()) == 1) addressSize = 16;
  ASN1_STRING* value = ASN1_STRING_type_new(addressSize > 0 ? V_ASN1_OCTET_STRING : V_ASN1_IA5STRING);
  const bool set = value != nullptr &&
                   (addressSize > 0 ? ASN1_STRING_set(value, address.data(), addressSize)
                                    : ASN1_STRING_set(value, name.data(), static_cast<int>(name.size()))) == 1;
  if (!set) {
    ASN1_STRING_free(value);
    GENERAL_NAME_free(entry);
    return nullptr;
  }
  GENERAL_NAME_set0_value(entry, addressSize > 0 ? GEN_IPADD : GEN_DNS, value);
  return entry;
}

// The names are built as values rather than parsed from configuration text, so that
// a name from a client can never add entries of its own.
void AddSubjectAltNames(X509* certificate, const std::vector<std::string>& names, bool critical) {
  if (names.empty()) return;
  GeneralNamesHandle entries(sk_GENERAL_NAME_new_null());
  if (!entries) ThrowOpenSslError("cannot make the subjectAltName");
  for (const auto& name : names) {
    GENERAL_NAME* entry = NewGeneralName(name);
    if (entry == nullptr || sk_GENERAL_NAME_push(entries.get(), entry) == 0) {
      GENERAL_NAME_free(entry);
      ThrowOpenSslError("cannot add " + name + " to the subjectAltName");
    }
  }
  if (X509_add1_ext_i2d(certificate, NID_subject_alt_name, entries.get(), critical ? 1 : 0,
                    X509V3_ADD_DEFAULT) != 1) {
    ThrowOpenSslError("cannot add the subjectAltName");
  }
}

void AddExtension(X509* certificate, X509V3_CTX& context, int nid, const char* value) {
  const ExtensionHandle extension(X509V3_EXT_conf_nid(nullptr, &context, nid, value));
  if (!extension || X509_add_ext(certificate, extension.get(), -1) != 1) {
    ThrowOpenSslError(std::string("cannot add the extension ") + OBJ_nid2sn(nid) + " " + value);
  }
}

void AddExtensions(X509* certificate, const CertificateRequest& request, X509* issuer,
                   EVP_PKEY* issuerKey) {
  X509V3_CTX context;
  X509V3_set_ctx(&context, issuer != nullptr ? issuer : certificate, certificate, nullptr, nullptr, 0);
  if (X509V3_set_issuer_pkey(&context, issuerKey) != 1) ThrowOpenSslError("cannot use the issuer's key");
  if (request.authority) {
    AddExtension(certificate, context, NID_basic_constraints, "critical,CA:TRUE");
    AddExtension(certificate, context, NID_key_usage, "critical,keyCertSign,cRLSign");
  } else {
    AddExtension(certificate, context, NID_basic_constraints, "critical,CA:FALSE");
    AddExtension(certificate, context, NID_key_usage, "critical,digitalSignature,keyEncipherment");
    AddExtension(certificate, context, NID_ext_key_usage, "serverAuth");
  }
  // The subject's identifier first: a self-signed certificate's authority identifier is
  // taken from it.
  AddExtension(certificate, context, NID_subject_key_identifier, "hash");
  AddExtension(certificate, context, NID_authority_key_identifier, "keyid:always");
  // With no subject name, the names are the whole identity and must be critical.
  const bool emptySubject = request.commonName.empty() && request.organization.empty();
  AddSubjectAltNames(certificate, request.names, emptySubject);
}

}  // namespace

KeyHandle NewEcKey() {
  KeyHandle key(EVP_EC_gen("P-256"));
  if (!key) ThrowOpenSslError("cannot make an EC P-256 key");
  return key;
}

CertificateHandle IssueCertificate(const CertificateRequest& request, EVP_PKEY* subjectKey,
                                   X509* issuer, EVP_PKEY* issuerKey) {
  if (subjectKey == nullptr || issuerKey == nullptr) {
    throw std::invalid_argument("a certificate needs the subject's and the issuer's keys");
  }
  CertificateHandle certificate(X509_new());
  if (!certificate) ThrowOpenSslError("cannot make a certificate");
  X509* cert = certificate.get();
  if (X509_set_version(cert, X509_VERSION_3) != 1) ThrowOpenSslError("cannot set the version");
  SetRandomSerial(cert);
  SetValidity(cert, request);
  X509_NAME* subject = X509_get_subject_name(cert);
  AddNameEntry(subject, "O", request.organization);
  AddNameEntry(subject, "CN", request.commonName);
  if (X509_set_issuer_name(cert, issuer != nullptr ? X509_get_subject_name(issuer) : subject) != 1 ||
      X509_set_pubkey(cert, subjectKey) != 1) {
    ThrowOpenSslError("cannot set the issuer or the public key");
  }
  AddExtensions(cert, request, issuer, issuerKey);
  if (X509_sign(cert, issuerKey, EVP_sha256()) == 0) ThrowOpenSslError("cannot sign the certificate");
  return certificate;
}

std::string CertificatePem(X509* certificate) {
  const BioHandle bio = NewMemoryBio();
  if (PEM_write_bio_X509(bio.get(), certificate) != 1) ThrowOpenSslError("cannot write the certificate");
  return BioText(bio.get());
}

std::string PrivateKeyPem(EVP_PKEY* key) {
  const BioHandle bio = NewMemoryBio();
  if (PEM_write_bio_PrivateKey(bio.get(), key, nullptr, nullptr, 0, nullptr, nullptr) != 1) {
    ThrowOpenSslError("cannot write the key");
  }
  return BioText(bio.get());
}

CertificateHandle CertificateFromPem(std::string_view pem) {
  const BioHandle bio = ReadOnlyBio(pem);
  return CertificateHandle(PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr));
}

KeyHandle PrivateKeyFromPem(std::string_view pem) {
  const BioHandle bio = ReadOnlyBio(pem);
  pem_password_cb* noPassword = [](char*, int, int, void*) { return -1; };
  return KeyHandle(PEM_read_bio_PrivateKey(bio.get(), nullptr, noPassword, nullptr));
}

}  // namespace tracewell::tls
