#pragma once
// What the proxy does with a message, apart from the sockets it travels on: which
// fields belong to one connection only, the request as the origin gets it, which
// requests are refused and how, where a client may connect, how the response is
// framed for the client, and when a failed request may go out again. No I/O here:
// the connection code carries out what these rules decide.

#include <cstdint>
#include <optional>
#include <string>

#include "proxy/asio.h"
#include "proxy/request_target.h"

namespace tracewell::proxy {

// The proxy's own answer instead of the origin's: a status, a line of text, the
// network error number the exchange's record shows, and whether the client's
// connection can go on after it.
struct Refusal {
  http::status status;
  std::string text;
  std::uint32_t errorNumber = 0;
  bool keepAlive = false;
};

// A header exactly as it goes on the wire (start line, fields, empty line), from the
// serializer's own pieces.
std::string WireText(const http::request_header<>& header);
std::string WireText(const http::response_header<>& header);

// The answer as it goes on the wire.
http::response<http::string_body> RefusalResponse(const Refusal& refusal);

// Removes the fields that concern one connection only, and those its Connection field
// names, except the framing fields: without them the message would lose its length.
void RemoveHopByHopFields(http::fields& fields);

// Whether a client at `address` may use the proxy: loopback (an IPv4-mapped loopback
// address too) unless remote clients are allowed.
bool IsAdmittedClient(const asio::ip::address& address, bool allowRemoteClients);

// A request header the proxy could not take; nothing when the connection simply
// ended (at a clean end of input, or in the middle of a message) and nothing is owed.
std::optional<Refusal> RefusalForUnreadRequest(const error_code& ec);

// A request whose body cannot be delimited as sent: a transfer coding other than a
// final "chunked" leaves its length unknown (400), codings before the final "chunked"
// would have to be decoded (501). Both close the connection.
std::optional<Refusal> RefusalForRequestFraming(const http::request_header<>& header);

// The request as the origin gets it: no fields meant for the proxy, the target in
// origin form, the URL's authority as Host, the body whole (read before the exchange
// starts). Returns the header block as written upstream.
std::string PrepareUpstreamRequest(http::request<http::string_body>& request,
                                   const RequestTarget& target);

// The header block as the client sent it, for the record: the block written upstream
// with the client's own Host (when it sent one that differs).
std::string RecordedRequestBlock(const http::request<http::string_body>& upstream,
                                 std::string_view clientHost, std::string upstreamBlock);

// Where the proxy may connect a client (the peer of a proxy connection that reached
// the proxy on `local`): with --loopback-only, loopback addresses alone; and a client
// from another machine never to this machine's own services (loopback, the unspecified
// address, `local` itself) unless that is allowed.
struct TargetPolicy {
  bool loopbackUpstreamOnly = false;
  bool allowRemoteToLoopback = false;
  asio::ip::address client;
  asio::ip::address local;
};
bool IsAllowedAddress(const asio::ip::address& address, const TargetPolicy& policy);

// A target refused before anything is resolved or connected: by --loopback-only, or a
// literal address a remote client may not reach.
std::optional<Refusal> RefusalForTarget(const RequestTarget& target, const TargetPolicy& policy,
                                        bool keepAlive);

// A resolved address the client may not reach (the connect step reports it as
// access_denied, an error no TCP connect to a host address gives).
Refusal RefusalForAddress(const RequestTarget& target, bool keepAlive);

// No response from the origin: 504 after a timeout, 502 otherwise; a forbidden
// resolved address as RefusalForAddress.
Refusal RefusalForUpstreamFailure(const error_code& ec, const RequestTarget& target,
                                  bool keepAlive);

// A request may go out again on a new connection after a kept one failed before
// answering only when sending it twice does no harm (its method is idempotent), or
// when none of it went out. A timeout is never retried: the origin may still be at work.
bool MayResend(http::verb method, bool anyByteWritten, const error_code& ec);

// The response header as the client gets it: no fields of the origin's connection,
// and a body that ends when the origin closes sent chunked to an HTTP/1.1 client, or
// else ended by closing the client's connection too. Returns whether the client's
// connection goes on after this response.
bool PrepareClientResponse(http::response<http::buffer_body>& response, bool bodyEndsAtClose,
                           unsigned requestVersion, bool clientKeepAlive);

}  // namespace tracewell::proxy
