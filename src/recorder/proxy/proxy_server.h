#pragma once
// The recording proxy: listens (on loopback unless told otherwise), serves each
// client connection on its own strand of a small thread pool, and stops gracefully.

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "proxy/asio.h"
#include "proxy/capture_platform.h"
#include "proxy/host_resolver.h"
#include "proxy/proxy_options.h"

namespace tracewell::proxy {

// Whether a client at `address` may use the proxy: loopback (an IPv4-mapped loopback
// address too) unless remote clients are allowed.
bool IsAdmittedClient(const asio::ip::address& address, bool allowRemoteClients);

class CProxyServer {
 public:
  CProxyServer(ProxyOptions options, IHostResolver& resolver, CProxyCapturePlatform& platform);
  // Stops at once: running exchanges are cut off and end as aborted.
  ~CProxyServer();
  CProxyServer(const CProxyServer&) = delete;
  CProxyServer& operator=(const CProxyServer&) = delete;

  // Binds the listening address and starts serving; the error when it cannot bind.
  error_code Start();
  // The address clients use (the real port when 0 was asked for).
  tcp::endpoint LocalEndpoint() const { return m_local; }
  // Stops accepting and gives running exchanges up to `grace` to end; then closes
  // every connection. Safe to call more than once.
  void Stop(std::chrono::milliseconds grace);

  std::size_t ActiveExchanges() const { return m_activeExchanges; }

 private:
  Task<> AcceptLoop();

  ProxyOptions m_options;
  IHostResolver& m_resolver;
  CProxyCapturePlatform& m_platform;
  std::atomic<std::size_t> m_activeExchanges{0};
  tcp::endpoint m_local;
  std::vector<std::thread> m_threads;
  // Last, so that it goes first: its pending handlers reference the members above.
  asio::io_context m_io;
  tcp::acceptor m_acceptor{m_io};
};

}  // namespace tracewell::proxy
