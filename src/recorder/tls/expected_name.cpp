#include "tls/expected_name.h"

#include <arpa/inet.h>

#include <array>

namespace tracewell::tls {

bool IsIpLiteral(std::string_view name) {
  std::array<unsigned char, 16> address{};
  const std::string text(name);
  return inet_pton(AF_INET, text.c_str(), address.data()) == 1 ||
         inet_pton(AF_INET6, text.c_str(), address.data()) == 1;
}

bool ExpectName(X509_VERIFY_PARAM* parameters, const std::string& name) {
  return (IsIpLiteral(name) ? X509_VERIFY_PARAM_set1_ip_asc(parameters, name.c_str())
                            : X509_VERIFY_PARAM_set1_host(parameters, name.c_str(), name.size())) == 1;
}

}  // namespace tracewell::tls
