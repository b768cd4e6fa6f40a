#pragma once
// How the recording proxy listens, whom it serves and where it may connect.

#include <chrono>
#include <cstddef>
#include <memory>

#include "proxy/asio.h"
#include "proxy/failure_log.h"

namespace tracewell::proxy {

inline constexpr unsigned short kDefaultProxyPort = 8877;

class CInterception;

struct ProxyOptions {
  tcp::endpoint listen{asio::ip::address_v4::loopback(), kDefaultProxyPort};
  // Clients from outside the loopback range are refused unless this is set.
  bool allowRemoteClients = false;
  // Only literal loopback origins, checked before any name is resolved.
  bool loopbackUpstreamOnly = false;
  // Clients from other machines may reach this machine's own services (loopback, the
  // proxy's own address) only when this is set.
  bool allowRemoteToLoopback = false;
  std::chrono::milliseconds connectTimeout{std::chrono::seconds(10)};
  // Each read and write of a running exchange.
  std::chrono::milliseconds ioTimeout{std::chrono::seconds(30)};
  // A client connection between requests, and a quiet tunnel.
  std::chrono::milliseconds idleTimeout{std::chrono::seconds(60)};
  // Request bodies are read whole before they are forwarded (the record keeps
  // them); larger ones are refused with 413.
  std::size_t maxRequestBody = 64u << 20;
  // 0: one per two processors, at least one; the client and the origin usually run
  // on the same machine, and cross-thread hand-offs cost more than they give.
  unsigned threads = 0;
  // Where the proxy says why a connection ended abnormally; none: it says nothing.
  FailureLog failureLog;
  // HTTPS: the requests inside a CONNECT tunnel are taken apart and forwarded one by
  // one; none: every tunnel passes its bytes through unread.
  std::shared_ptr<CInterception> interception;
};

}  // namespace tracewell::proxy
