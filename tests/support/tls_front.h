#pragma once
// A TLS origin for the tests: it ends TLS on 127.0.0.1 with the certificate it is
// given and passes the bytes inside to a plain origin (a TestOrigin), so that every
// path of that origin can be asked for over https. One thread; each connection is
// relayed both ways until either side ends.

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>

#include <boost/asio/ssl.hpp>

#include "proxy/asio.h"

namespace tracewell::testing {

class TlsFront {
 public:
  // `chain` and `key`: PEM files of the certificate (leaf first) and its key.
  TlsFront(unsigned short backendPort, const std::filesystem::path& chain,
           const std::filesystem::path& key);
  ~TlsFront();
  TlsFront(const TlsFront&) = delete;
  TlsFront& operator=(const TlsFront&) = delete;

  unsigned short Port() const { return m_port; }
  // "https://127.0.0.1:PORT" + path.
  std::string Url(std::string_view path) const;
  // The connections whose handshake succeeded so far, and how many of them resumed
  // an earlier session.
  std::size_t Connections() const { return m_connections; }
  std::size_t Resumed() const { return m_resumed; }

 private:
  proxy::asio::awaitable<void> Accept();
  proxy::asio::awaitable<void> Relay(proxy::tcp::socket client);

  unsigned short m_backendPort;
  proxy::asio::io_context m_io;
  proxy::asio::ssl::context m_context{proxy::asio::ssl::context::tls_server};
  proxy::tcp::acceptor m_acceptor;
  unsigned short m_port;
  std::atomic<std::size_t> m_connections{0};
  std::atomic<std::size_t> m_resumed{0};
  std::thread m_thread;
};

}  // namespace tracewell::testing
