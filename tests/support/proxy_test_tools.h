#pragma once
// What every test of the recording proxy needs around it: names resolved only by the
// test, proxy options for a free loopback port with short timeouts, and real clients
// (curl, raw connections) through the proxy.

#include <map>
#include <mutex>
#include <string>

#include "proxy/host_resolver.h"
#include "proxy/proxy_options.h"

namespace tracewell::testing {

// Names the test knows; every other name is not found. Nothing reaches a DNS server.
class FakeResolver final : public proxy::IHostResolver {
 public:
  void Add(std::string name, std::string address);
  proxy::Task<proxy::ResolveResult> Resolve(std::string host, std::uint16_t port) override;

 private:
  std::mutex m_mutex;  // the proxy's threads look names up while a test adds them
  std::map<std::string, std::string> m_addresses;  // name -> literal address
};

proxy::ProxyOptions TestProxyOptions();

struct CommandResult {
  int exitCode;
  std::string output;
};

// curl through the proxy with `arguments`; standard output only, at most 20 s.
CommandResult Curl(const std::string& proxyAddress, const std::string& arguments);

// Sends `request` to the proxy on a raw connection and reads until the proxy closes
// it or `readLimit` bytes have come; then closes.
std::string RawExchange(unsigned short port, std::string_view request,
                        std::size_t readLimit = std::string::npos);

// The same, but the request is followed by the end of the client's sending side, as
// a client does that has nothing more to send but still waits for the answer.
std::string RawHalfClosedExchange(unsigned short port, std::string_view request);

}  // namespace tracewell::testing
