#include "support/tls_front.h"

#include <array>
#include <memory>

namespace tracewell::testing {
namespace {

namespace asio = proxy::asio;
using proxy::error_code;
using proxy::tcp;

// Every step hands errors back; anything thrown all the same is a fault of the test.
void RethrowEscaped(std::exception_ptr escaped) {
  if (escaped) std::rethrow_exception(escaped);
}

// One relayed connection, shared by its two directions.
struct Connection {
  Connection(tcp::socket client, asio::ssl::context& context, asio::io_context& io)
      : secure(std::move(client), context), backend(io) {}
  asio::ssl::stream<tcp::socket> secure;
  tcp::socket backend;
};

// Copies `from` to `to` until `from` ends or fails.
template <typename From, typename To>
asio::awaitable<void> Pump(std::shared_ptr<Connection> /*kept alive meanwhile*/, From& from, To& to) {
  std::array<char, 16 * 1024> buffer;
  error_code ec;
  for (;;) {
    const std::size_t size = co_await from.async_read_some(
        asio::buffer(buffer), asio::redirect_error(asio::use_awaitable, ec));
    if (ec) co_return;
    co_await asio::async_write(to, asio::buffer(buffer.data(), size),
                               asio::redirect_error(asio::use_awaitable, ec));
    if (ec) co_return;
  }
}

}  // namespace

TlsFront::TlsFront(unsigned short backendPort, const std::filesystem::path& chain,
                   const std::filesystem::path& key)
    : m_backendPort(backendPort),
      m_acceptor(m_io, tcp::endpoint(asio::ip::address_v4::loopback(), 0)),
      m_port(m_acceptor.local_endpoint().port()) {
  m_context.use_certificate_chain_file(chain.string());
  m_context.use_private_key_file(key.string(), asio::ssl::context::pem);
  asio::co_spawn(m_io, Accept(), RethrowEscaped);
  m_thread = std::thread([this] { m_io.run(); });
}

TlsFront::~TlsFront() {
  m_io.stop();
  m_thread.join();
}

std::string TlsFront::Url(std::string_view path) const {
  return "https://127.0.0.1:" + std::to_string(m_port) + std::string(path);
}

asio::awaitable<void> TlsFront::Accept() {
  for (;;) {
    error_code ec;
    tcp::socket client = co_await m_acceptor.async_accept(asio::redirect_error(asio::use_awaitable, ec));
    if (ec) co_return;
    asio::co_spawn(m_io, Relay(std::move(client)), RethrowEscaped);
  }
}

asio::awaitable<void> TlsFront::Relay(tcp::socket client) {
  auto connection = std::make_shared<Connection>(std::move(client), m_context, m_io);
  error_code ec;
  // A client that refuses the certificate ends here, as a real server's would.
  co_await connection->secure.async_handshake(asio::ssl::stream_base::server,
                                              asio::redirect_error(asio::use_awaitable, ec));
  if (ec) co_return;
  ++m_connections;
  if (SSL_session_reused(connection->secure.native_handle()) == 1) ++m_resumed;
  co_await connection->backend.async_connect(
      tcp::endpoint(asio::ip::address_v4::loopback(), m_backendPort),
      asio::redirect_error(asio::use_awaitable, ec));
  if (ec) co_return;
  asio::co_spawn(m_io, Pump(connection, connection->secure, connection->backend),
                 [connection](std::exception_ptr escaped) {
                   RethrowEscaped(escaped);
                   error_code ignored;  // the other direction may have closed it
                   connection->backend.shutdown(tcp::socket::shutdown_send, ignored);
                 });
  co_await Pump(connection, connection->backend, connection->secure);
  // The origin's end of a body read to the end goes on as TLS's own end.
  co_await connection->secure.async_shutdown(asio::redirect_error(asio::use_awaitable, ec));
  error_code ignored;
  connection->secure.lowest_layer().close(ignored);
  connection->backend.close(ignored);
}

}  // namespace tracewell::testing
