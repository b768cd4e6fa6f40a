#include "proxy/upstream_connection.h"

#include <poll.h>

#include <array>
#include <limits>

namespace tracewell::proxy {

CUpstreamConnection::CUpstreamConnection(std::size_t readBufferSize) {
  m_buffer.reserve(readBufferSize);
}

bool CUpstreamConnection::Reuse(std::string_view origin) {
  if (m_stream && m_origin == origin && m_stream->socket().is_open() && IsClean()) {
    return true;
  }
  End();
  return false;
}

bool CUpstreamConnection::IsClean() {
  if (m_buffer.size() > 0) return false;
  if (m_stream->IsTls() && SSL_pending(m_stream->Tls()) > 0) return false;
  pollfd waiting{m_stream->socket().native_handle(), POLLIN | POLLRDHUP, 0};
  return ::poll(&waiting, 1, 0) == 0;
}

CConnectionStream& CUpstreamConnection::Replace(const Executor& executor) {
  End();
  return m_stream.emplace(executor);
}

void CUpstreamConnection::Connected(std::string origin, std::string address) {
  m_origin = std::move(origin);
  m_address = std::move(address);
}

Task<error_code> CUpstreamConnection::Send(std::string_view headerBlock, std::string_view body,
                                           std::chrono::milliseconds timeout, bool& written) {
  error_code ec;
  const std::array<asio::const_buffer, 2> buffers = {asio::buffer(headerBlock), asio::buffer(body)};
  m_stream->expires_after(timeout);
  const std::size_t size = co_await asio::async_write(*m_stream, buffers, Await(ec));
  written = size > 0;
  co_return ec;
}

Task<error_code> CUpstreamConnection::ReadHeader(
    std::optional<http::response_parser<http::buffer_body>>& parser, bool headRequest,
    std::uint32_t headerLimit, std::chrono::milliseconds timeout) {
  error_code ec;
  for (;;) {
    parser.emplace();
    parser->header_limit(headerLimit);
    parser->body_limit(std::numeric_limits<std::uint64_t>::max());  // streamed, never held
    if (headRequest) parser->skip(true);
    m_stream->expires_after(timeout);
    co_await http::async_read_header(*m_stream, m_buffer, *parser, Await(ec));
    const unsigned status = ec ? 0 : parser->get().result_int();
    if (ec || status < 100 || status >= 200 || status == 101) co_return ec;
  }
}

void CUpstreamConnection::Release(bool originKeepsIt) {
  if (!originKeepsIt || m_buffer.size() > 0) End();
}

void CUpstreamConnection::End() {
  // OpenSSL takes a TLS connection freed without its close_notify for a broken one
  // and forbids resuming its session; this one ended between responses.
  if (m_stream && m_stream->IsTls()) SSL_set_shutdown(m_stream->Tls(), SSL_SENT_SHUTDOWN);
  Close();
}

void CUpstreamConnection::Close() {
  if (m_stream) {
    error_code ignored;
    m_stream->socket().close(ignored);
    m_stream.reset();
  }
  m_origin.clear();
  m_address.clear();
  m_buffer.consume(m_buffer.size());
}

}  // namespace tracewell::proxy
