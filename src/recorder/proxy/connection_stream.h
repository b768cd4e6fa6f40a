#pragma once
// One side of a proxied connection: a timed socket that carries plain bytes, or TLS
// once a handshake has been made over it. Reads and writes go to whichever it is, so
// that the HTTP code above is the same for http:// and intercepted https:// requests.

#include <optional>
#include <string_view>

#include <boost/asio/ssl.hpp>

#include "proxy/asio.h"
#include "proxy/timed_stream.h"

namespace tracewell::proxy {

namespace ssl = asio::ssl;

class CConnectionStream {
 public:
  using executor_type = Executor;

  explicit CConnectionStream(const Executor& executor) : m_timed(executor) {}
  explicit CConnectionStream(Socket socket) : m_timed(std::move(socket)) {}
  CConnectionStream(const CConnectionStream&) = delete;
  CConnectionStream& operator=(const CConnectionStream&) = delete;

  Executor get_executor() { return m_timed.get_executor(); }
  Socket& socket() { return m_timed.socket(); }
  CTimedStream& Timed() { return m_timed; }
  void expires_after(CTimedStream::Clock::duration timeout) { m_timed.expires_after(timeout); }

  bool IsTls() const { return m_tls.has_value(); }
  // The TLS state of the connection; only while IsTls().
  SSL* Tls() { return m_tls->native_handle(); }

  // Starts TLS over the connection with `context`; `Tls()` can be set up before the
  // handshake. Bytes of the peer's that were read already (`received`) come first.
  void BeginTls(ssl::context& context) { m_tls.emplace(m_timed, context); }
  Task<error_code> Handshake(ssl::stream_base::handshake_type side, asio::const_buffer received);

  // Says that nothing more will be sent: TLS's close_notify first (the peer gets
  // `deadline` to answer it), then the socket's end of sending.
  Task<> EndSending(CTimedStream::Clock::duration deadline);

  template <typename MutableBuffers, typename Token>
  auto async_read_some(const MutableBuffers& buffers, Token&& token) {
    return asio::async_initiate<Token, void(error_code, std::size_t)>(
        [this](auto handler, const MutableBuffers& into) {
          if (m_tls) {
            m_tls->async_read_some(into, std::move(handler));
          } else {
            m_timed.async_read_some(into, std::move(handler));
          }
        },
        token, buffers);
  }

  template <typename ConstBuffers, typename Token>
  auto async_write_some(const ConstBuffers& buffers, Token&& token) {
    return asio::async_initiate<Token, void(error_code, std::size_t)>(
        [this](auto handler, const ConstBuffers& from) {
          if (m_tls) {
            m_tls->async_write_some(from, std::move(handler));
          } else {
            m_timed.async_write_some(from, std::move(handler));
          }
        },
        token, buffers);
  }

 private:
  CTimedStream m_timed;
  std::optional<ssl::stream<CTimedStream&>> m_tls;  // over m_timed
};

}  // namespace tracewell::proxy
