#pragma once
// The connection to an origin that a client connection keeps for its next request to
// the same origin. It is used again only while it is clean: nothing left unread of the
// last response and nothing (bytes or a close) waiting on the socket. Bytes an origin
// sent past the end of a response would otherwise be served as the answer to the
// next request.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "proxy/asio.h"
#include "proxy/connection_stream.h"

namespace tracewell::proxy {

class CUpstreamConnection {
 public:
  explicit CUpstreamConnection(std::size_t readBufferSize);
  // A connection still kept is idle between responses: it ends well.
  ~CUpstreamConnection() { End(); }
  CUpstreamConnection(const CUpstreamConnection&) = delete;
  CUpstreamConnection& operator=(const CUpstreamConnection&) = delete;

  // Whether the kept connection can carry a request to `origin` now (its authority,
  // and for TLS the name it was verified for); one that cannot is closed.
  bool Reuse(std::string_view origin);
  // A new stream in place of the kept one, for the connect step.
  CConnectionStream& Replace(const Executor& executor);
  // The new stream is connected to `origin` at `address`.
  void Connected(std::string origin, std::string address);
  // The server's address of the connection in use.
  const std::string& Address() const { return m_address; }

  // Writes the request; `written` says whether any of it went out.
  Task<error_code> Send(std::string_view headerBlock, std::string_view body,
                        std::chrono::milliseconds timeout, bool& written);
  // Reads the final response header (interim 1xx responses are skipped); the body of
  // a response to HEAD is never expected.
  Task<error_code> ReadHeader(std::optional<http::response_parser<http::buffer_body>>& parser,
                              bool headRequest, std::uint32_t headerLimit,
                              std::chrono::milliseconds timeout);

  CConnectionStream& Stream() { return *m_stream; }
  beast::flat_buffer& Buffer() { return m_buffer; }

  // The response has been read whole: the connection is kept for the next request
  // when the origin keeps it and nothing past the response has been read.
  void Release(bool originKeepsIt);
  // Closes a connection that failed.
  void Close();

 private:
  bool IsClean();
  // Closes a connection that served well; its TLS session can be resumed later.
  void End();

  std::optional<CConnectionStream> m_stream;
  std::string m_origin;
  std::string m_address;
  beast::flat_buffer m_buffer;
};

}  // namespace tracewell::proxy
