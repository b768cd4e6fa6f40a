#include "proxy/host_resolver.h"

namespace tracewell::proxy {

Task<ResolveResult> CSystemResolver::Resolve(std::string host, std::uint16_t port) {
  tcp::resolver resolver(co_await asio::this_coro::executor);
  ResolveResult result;
  const auto found =
      co_await resolver.async_resolve(host, std::to_string(port), Await(result.error));
  if (!result.error) {
    for (const auto& entry : found) result.endpoints.push_back(entry.endpoint());
  }
  co_return result;
}

}  // namespace tracewell::proxy
