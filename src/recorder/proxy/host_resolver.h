#pragma once
// Turning an origin's host name into addresses. The recorder uses the system's
// resolver; tests give one of their own so that no name ever reaches a DNS server.

#include <cstdint>
#include <string>
#include <vector>

#include "proxy/asio.h"

namespace tracewell::proxy {

struct ResolveResult {
  error_code error;  // host_not_found and friends when the name has no address
  std::vector<tcp::endpoint> endpoints;
};

class IHostResolver {
 public:
  virtual ~IHostResolver() = default;
  // Called only for names: literal addresses are used as they are.
  virtual Task<ResolveResult> Resolve(std::string host, std::uint16_t port) = 0;
};

class CSystemResolver final : public IHostResolver {
 public:
  Task<ResolveResult> Resolve(std::string host, std::uint16_t port) override;
};

}  // namespace tracewell::proxy
