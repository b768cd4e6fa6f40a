#include "proxy/proxy_server.h"

#include <algorithm>

#include "proxy/client_connection.h"

namespace tracewell::proxy {

CProxyServer::CProxyServer(ProxyOptions options, IHostResolver& resolver,
                           CProxyCapturePlatform& platform)
    : m_options(options), m_resolver(resolver), m_platform(platform) {}

CProxyServer::~CProxyServer() { Stop(std::chrono::milliseconds(0)); }

error_code CProxyServer::Start() {
  error_code ec;
  m_acceptor.open(m_options.listen.protocol(), ec);
  if (!ec) m_acceptor.set_option(tcp::acceptor::reuse_address(true), ec);
  if (!ec) m_acceptor.bind(m_options.listen, ec);
  if (!ec) m_acceptor.listen(asio::socket_base::max_listen_connections, ec);
  if (ec) {
    m_acceptor.close();
    return ec;
  }
  m_local = m_acceptor.local_endpoint();
  asio::co_spawn(m_io, AcceptLoop(), asio::detached);
  const unsigned threads =
      m_options.threads != 0 ? m_options.threads : std::max(1u, std::thread::hardware_concurrency() / 2);
  for (unsigned i = 0; i < threads; ++i) m_threads.emplace_back([this] { m_io.run(); });
  return {};
}

void CProxyServer::Stop(std::chrono::milliseconds grace) {
  if (m_threads.empty()) return;
  asio::post(m_io, [this] {
    error_code ignored;
    m_acceptor.close(ignored);
  });
  const auto deadline = std::chrono::steady_clock::now() + grace;
  while (m_activeExchanges > 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  m_io.stop();
  for (auto& thread : m_threads) thread.join();
  m_threads.clear();
}

bool IsAdmittedClient(const asio::ip::address& address, bool allowRemoteClients) {
  if (allowRemoteClients) return true;
  if (address.is_v6() && address.to_v6().is_v4_mapped()) {
    return asio::ip::make_address_v4(asio::ip::v4_mapped, address.to_v6()).is_loopback();
  }
  return address.is_loopback();
}

Task<> CProxyServer::AcceptLoop() {
  const ConnectionServices services{m_options, m_resolver, m_platform, m_activeExchanges};
  for (;;) {
    error_code ec;
    tcp::socket client = co_await m_acceptor.async_accept(asio::make_strand(m_io), Await(ec));
    if (ec == asio::error::operation_aborted || !m_acceptor.is_open()) co_return;
    if (ec) continue;  // a client that went away while being accepted
    const tcp::endpoint peer = client.remote_endpoint(ec);
    // A refused client's socket closes here.
    if (ec || !IsAdmittedClient(peer.address(), m_options.allowRemoteClients)) continue;
    const auto executor = client.get_executor();
    asio::co_spawn(executor, ServeClient(std::move(client), services), asio::detached);
  }
}

}  // namespace tracewell::proxy
