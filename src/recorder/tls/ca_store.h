#pragma once
// The two files that keep a certificate authority in its directory: ca.pem, the
// certificate, and ca.key, its private key.

#include <filesystem>
#include <functional>
#include <string>
#include <variant>

#include "tls/openssl_handles.h"

namespace tracewell::tls {

struct StoredCa {
  CertificateHandle certificate;
  KeyHandle key;
};

struct StoreError {
  std::string message;  // names the file and what is wrong with it
};

// The CA in `directory`, checked (the certificate is a CA, the key is its key); or,
// when neither file is there, the one `make` returns, stored first. The directory and
// missing parents are made 0700, the key file is 0600 from its creation, and both
// files go in through temporaries renamed into place under a lock on the directory,
// so that concurrent callers end with one CA and a crash leaves none or a whole one.
// A damaged CA is reported and left as it is. Exceptions of `make` pass through.
std::variant<StoredCa, StoreError> LoadOrStoreCa(const std::filesystem::path& directory,
                                                 const std::function<StoredCa()>& make);

}  // namespace tracewell::tls
