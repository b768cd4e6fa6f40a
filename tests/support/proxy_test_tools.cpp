#include "support/proxy_test_tools.h"

#include <array>
#include <cstdio>

namespace tracewell::testing {

using namespace proxy;

void FakeResolver::Add(std::string name, std::string address) {
  const std::lock_guard lock(m_mutex);
  m_addresses[std::move(name)] = std::move(address);
}

Task<ResolveResult> FakeResolver::Resolve(std::string host, std::uint16_t port) {
  ResolveResult result;
  {
    const std::lock_guard lock(m_mutex);
    const auto it = m_addresses.find(host);
    if (it == m_addresses.end()) {
      result.error = asio::error::host_not_found;
    } else {
      result.endpoints.emplace_back(asio::ip::make_address(it->second), port);
    }
  }
  co_return result;
}

ProxyOptions TestProxyOptions() {
  ProxyOptions options;
  options.listen = tcp::endpoint(asio::ip::address_v4::loopback(), 0);
  options.connectTimeout = std::chrono::milliseconds(1500);
  options.ioTimeout = std::chrono::milliseconds(1500);  // room for sanitizer builds on a busy machine
  options.idleTimeout = std::chrono::milliseconds(3000);
  options.threads = 2;
  return options;
}

CommandResult Curl(const std::string& proxyAddress, const std::string& arguments) {
  const std::string command = "curl -sS --max-time 20 --noproxy '' -x http://" + proxyAddress + " " +
                              arguments + " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return {-1, {}};
  std::string output;
  std::array<char, 4096> buffer;
  for (std::size_t got; (got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) {
    output.append(buffer.data(), got);
  }
  const int status = pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

namespace {

std::string Exchange(unsigned short port, std::string_view request, std::size_t readLimit,
                     bool halfClose) {
  asio::io_context io;
  tcp::socket socket(io);
  socket.connect(tcp::endpoint(asio::ip::address_v4::loopback(), port));
  asio::write(socket, asio::buffer(request));
  if (halfClose) socket.shutdown(tcp::socket::shutdown_send);
  std::string received;
  std::array<char, 4096> buffer;
  error_code ec;
  while (received.size() < readLimit) {
    const std::size_t got = socket.read_some(asio::buffer(buffer), ec);
    if (ec) break;
    received.append(buffer.data(), got);
  }
  return received;
}

}  // namespace

std::string RawExchange(unsigned short port, std::string_view request, std::size_t readLimit) {
  return Exchange(port, request, readLimit, false);
}

std::string RawHalfClosedExchange(unsigned short port, std::string_view request) {
  return Exchange(port, request, std::string::npos, true);
}

}  // namespace tracewell::testing
