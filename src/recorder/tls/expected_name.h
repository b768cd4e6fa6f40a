#pragma once
// The name a peer's certificate must be for: a host name, or a literal IPv4 or IPv6
// address, which certificates carry in IP entries and verification compares as such.

#include <openssl/x509_vfy.h>

#include <string>
#include <string_view>

namespace tracewell::tls {

bool IsIpLiteral(std::string_view name);

// Makes verification with `parameters` require a certificate for `name`; false when
// OpenSSL could not take it (then nothing must be verified with them).
bool ExpectName(X509_VERIFY_PARAM* parameters, const std::string& name);

}  // namespace tracewell::tls
