#include "tls/openssl_handles.h"

#include <openssl/err.h>

#include <stdexcept>

namespace tracewell::tls {

std::string OpenSslErrorText() {
  std::string text;
  while (const unsigned long code = ERR_get_error()) {
    char line[256];
    ERR_error_string_n(code, line, sizeof line);
    if (!text.empty()) text += "; ";
    text += line;
  }
  return text.empty() ? "no reason given by OpenSSL" : text;
}

void ThrowOpenSslError(std::string_view what) {
  throw std::runtime_error(std::string(what) + ": " + OpenSslErrorText());
}

}  // namespace tracewell::tls
