#include "proxy/connection_stream.h"

namespace tracewell::proxy {

Task<error_code> CConnectionStream::Handshake(ssl::stream_base::handshake_type side,
                                              asio::const_buffer received) {
  error_code ec;
  co_await m_tls->async_handshake(side, received, Await(ec));
  co_return ec;
}

Task<> CConnectionStream::EndSending(CTimedStream::Clock::duration deadline) {
  error_code ec;
  if (m_tls) {
    m_timed.expires_after(deadline);
    // Ends with the peer's close_notify, its close or the deadline: each is an end.
    co_await m_tls->async_shutdown(Await(ec));
  }
  m_timed.socket().shutdown(tcp::socket::shutdown_send, ec);  // the peer may have gone
}

}  // namespace tracewell::proxy
