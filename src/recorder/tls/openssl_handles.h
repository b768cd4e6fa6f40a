#pragma once
// Owning handles for OpenSSL objects, so that every path out of a function frees
// what it made, and the text of OpenSSL's errors for messages.

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/evp.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <memory>
#include <string>
#include <string_view>

namespace tracewell::tls {

template <auto Free>
struct OpenSslDeleter {
  template <typename T>
  void operator()(T* object) const {
    Free(object);
  }
};

using KeyHandle = std::unique_ptr<EVP_PKEY, OpenSslDeleter<&EVP_PKEY_free>>;
using CertificateHandle = std::unique_ptr<X509, OpenSslDeleter<&X509_free>>;
using BioHandle = std::unique_ptr<BIO, OpenSslDeleter<&BIO_free_all>>;
using BignumHandle = std::unique_ptr<BIGNUM, OpenSslDeleter<&BN_free>>;
using ExtensionHandle = std::unique_ptr<X509_EXTENSION, OpenSslDeleter<&X509_EXTENSION_free>>;
using GeneralNamesHandle = std::unique_ptr<GENERAL_NAMES, OpenSslDeleter<&GENERAL_NAMES_free>>;
using StoreHandle = std::unique_ptr<X509_STORE, OpenSslDeleter<&X509_STORE_free>>;
using StoreContextHandle = std::unique_ptr<X509_STORE_CTX, OpenSslDeleter<&X509_STORE_CTX_free>>;

// Everything on this thread's OpenSSL error queue, oldest first, in one line; the
// queue is empty afterwards, so that old errors never show up in a later message.
std::string OpenSslErrorText();

// Throws std::runtime_error "`what`: <the OpenSSL errors>".
[[noreturn]] void ThrowOpenSslError(std::string_view what);

}  // namespace tracewell::tls
