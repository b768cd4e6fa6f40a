#include "proxy/client_connection.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <optional>
#include <string>

#include "proxy/exchange_binding.h"
#include "proxy/request_target.h"
#include "proxy/timed_stream.h"
#include "proxy/upstream_error.h"
#include "text/code_page.h"

namespace tracewell::proxy {
namespace {

constexpr std::size_t kChunkSize = 128 * 1024;
constexpr std::size_t kTunnelChunkSize = kChunkSize / 2;
constexpr std::size_t kReadBufferSize = 16 * 1024;
constexpr std::uint32_t kHeaderLimit = 64 * 1024;
constexpr std::string_view kContinue = "HTTP/1.1 100 Continue\r\n\r\n";
constexpr std::string_view kTunnelEstablished = "HTTP/1.1 200 Connection Established\r\n\r\n";

// Counts an exchange as running for as long as it lives.
class ExchangeCount {
 public:
  explicit ExchangeCount(std::atomic<std::size_t>& count) : m_count(count) { ++m_count; }
  ~ExchangeCount() { --m_count; }
  ExchangeCount(const ExchangeCount&) = delete;
  ExchangeCount& operator=(const ExchangeCount&) = delete;

 private:
  std::atomic<std::size_t>& m_count;
};

std::string BufferText(const auto& buffers) {
  std::string text;
  text.reserve(beast::buffer_bytes(buffers));
  for (const auto buffer : beast::buffers_range_ref(buffers)) {
    text.append(static_cast<const char*>(buffer.data()), buffer.size());
  }
  return text;
}

// A header exactly as it goes on the wire (start line, fields, empty line), from the
// serializer's own pieces.
std::string HeaderText(const http::request_header<>& header) {
  const http::fields::writer writer(header, header.version(), header.method());
  return BufferText(writer.get());
}

std::string HeaderText(const http::response_header<>& header) {
  const http::fields::writer writer(header, header.version(), header.result_int());
  return BufferText(writer.get());
}

std::string_view Text(beast::string_view text) { return {text.data(), text.size()}; }

// Fields that concern one connection only, and those the Connection field names.
template <bool isRequest, typename Body>
void RemoveHopByHopFields(http::message<isRequest, Body>& message) {
  const std::string connection(Text(message[http::field::connection]));
  for (const auto& token : http::token_list(connection)) message.erase(token);
  for (const auto field :
       {http::field::connection, http::field::keep_alive, http::field::proxy_connection,
        http::field::proxy_authorization, http::field::proxy_authenticate, http::field::te,
        http::field::trailer, http::field::upgrade}) {
    message.erase(field);
  }
}

// The request as the origin gets it: origin-form target, its own Host, no fields
// meant for the proxy, the body whole (read before the exchange started).
void PrepareUpstreamRequest(http::request<http::string_body>& request, const RequestTarget& target) {
  RemoveHopByHopFields(request);
  request.erase(http::field::expect);  // the proxy already read the body
  request.target(target.path);
  if (request[http::field::host].empty()) {
    request.set(http::field::host,
                target.port == 80 ? target.host : target.Authority());
  }
  request.prepare_payload();
}

// A header and its body may go out as separate writes: without this, the second
// waits for the peer's delayed acknowledgement of the first.
void SendAtOnce(CTimedStream& stream) {
  error_code ignored;
  stream.socket().set_option(tcp::no_delay(true), ignored);
}

class CClientConnection {
 public:
  CClientConnection(Socket socket, ConnectionServices services)
      : m_client(std::move(socket)),
        m_services(services),
        m_bodyBuffer(std::make_unique<char[]>(kChunkSize)) {
    // Reads fill what room a buffer has (at least 512 bytes): room for a header
    // block and more. A body of known length bypasses the upstream buffer.
    m_clientBuffer.reserve(kReadBufferSize);
    m_upstreamBuffer.reserve(kReadBufferSize);
  }

  Task<> Run();

 private:
  Task<bool> Forward(http::request<http::string_body>& request);
  Task<> Tunnel(const http::request<http::empty_body>& request);

  // The kept connection to `target`'s origin, or a new one; reports the server's
  // address either way.
  Task<error_code> ConnectUpstream(const RequestTarget& target, CProxyTarget& exchange, bool fresh,
                                   bool& reused);
  Task<error_code> Connect(CTimedStream& stream, const RequestTarget& target,
                           std::string& address);
  // Sends the request and reads the response header, skipping interim responses.
  Task<error_code> SendRequest(std::string_view headerBlock, std::string_view body);
  Task<error_code> ReadResponseHeader(std::optional<http::response_parser<http::buffer_body>>& parser,
                                      bool headRequest);
  // The response header ahead of its body; false when the client has gone.
  Task<bool> SendHeader(http::response_serializer<http::buffer_body>& serializer);
  // The proxy's own answer: a status and a line of text.
  Task<> Respond(http::status status, std::string text, bool keepAlive);
  // Copies `from` to `to` until either ends; `pass` turns each read into what is written.
  template <typename Pass>
  Task<> Pump(CTimedStream& from, CTimedStream& to, char* buffer, Pass pass);
  void CloseUpstream();
  void Fail(CProxyTarget& exchange, CExchangeBinding& binding, std::uint32_t errorNumber);

  CTimedStream m_client;
  beast::flat_buffer m_clientBuffer;
  ConnectionServices m_services;
  std::optional<CTimedStream> m_upstream;
  std::string m_upstreamAuthority;
  std::string m_upstreamAddress;
  beast::flat_buffer m_upstreamBuffer;
  // A response's body bytes on their way, and a tunnel's bytes from the client.
  std::unique_ptr<char[]> m_bodyBuffer;
};

Task<> CClientConnection::Run() {
  const ProxyOptions& options = m_services.options;
  SendAtOnce(m_client);
  for (;;) {
    http::request_parser<http::empty_body> header;
    header.header_limit(kHeaderLimit);
    error_code ec;
    m_client.expires_after(options.idleTimeout);
    co_await http::async_read_header(m_client, m_clientBuffer, header, Await(ec));
    if (ec) {
      if (ec.category() == http::make_error_code(http::error::bad_target).category()) {
        co_await Respond(http::status::bad_request, "Tracewell could not parse the request.\n", false);
      }
      co_return;
    }
    if (header.get().method() == http::verb::connect) {
      co_await Tunnel(header.get());
      co_return;
    }
    if (beast::iequals(header.get()[http::field::expect], "100-continue")) {
      co_await asio::async_write(m_client, asio::buffer(kContinue), Await(ec));
      if (ec) co_return;
    }
    http::request_parser<http::string_body> parser(std::move(header));
    parser.body_limit(options.maxRequestBody);
    if (!parser.is_done()) {  // a request without a body needs no second read
      m_client.expires_after(options.ioTimeout);
      co_await http::async_read(m_client, m_clientBuffer, parser, Await(ec));
    }
    if (ec == http::error::body_limit) {
      co_await Respond(http::status::payload_too_large,
                       "Tracewell does not forward request bodies this large.\n", false);
      co_return;
    }
    if (ec) co_return;
    auto request = parser.release();
    if (!co_await Forward(request)) break;
  }
  error_code ignored;
  m_client.socket().shutdown(tcp::socket::shutdown_send, ignored);
}

Task<bool> CClientConnection::Forward(http::request<http::string_body>& request) {
  const ExchangeCount counted(m_services.activeExchanges);
  const ProxyOptions& options = m_services.options;
  const bool clientKeepAlive = request.keep_alive();
  const std::string url(Text(request.target()));
  const bool headRequest = request.method() == http::verb::head;
  auto exchange = std::make_shared<CProxyTarget>();
  CClientRequest client(Text(request.method_string()), request.body());
  CExchangeBinding binding(m_services.platform.NewBinding(u"http", exchange), exchange, client);
  binding.Start(FromCodePage(url));

  const auto target = ParseAbsoluteHttpUrl(url);
  if (!target) {
    Fail(*exchange, binding, kErrorInvalidUrl);
    co_await Respond(http::status::bad_request,
                     "Tracewell forwards requests for absolute http:// URLs only.\n",
                     clientKeepAlive);
    co_return clientKeepAlive;
  }
  if (options.loopbackUpstreamOnly && !IsLoopbackLiteral(target->host)) {
    Fail(*exchange, binding, kErrorCannotConnect);
    co_await Respond(http::status::forbidden,
                     "Tracewell may only connect to loopback addresses; " + target->Authority() +
                         " is not one.\n",
                     clientKeepAlive);
    co_return clientKeepAlive;
  }

  PrepareUpstreamRequest(request, *target);
  const std::string headerBlock = HeaderText(request.base());
  std::optional<http::response_parser<http::buffer_body>> parser;
  bool requestReported = false;
  error_code ec;
  for (int attempt = 0;; ++attempt) {
    bool reused = false;
    ec = co_await ConnectUpstream(*target, *exchange, attempt > 0, reused);
    if (!ec) ec = co_await SendRequest(headerBlock, request.body());
    if (!ec && !requestReported) {
      requestReported = true;
      exchange->ReportSendingRequest(headerBlock);
    }
    if (!ec) ec = co_await ReadResponseHeader(parser, headRequest);
    // A kept connection that the origin had closed meanwhile: once more on a new one.
    if (!ec || !reused || attempt > 0) break;
    CloseUpstream();
  }
  if (ec) {
    CloseUpstream();
    const std::uint32_t error = ErrorNumberFor(ec);
    Fail(*exchange, binding, error);
    co_await Respond(error == kErrorTimeout ? http::status::gateway_timeout : http::status::bad_gateway,
                     "Tracewell could not get a response from " + target->Authority() + ": " +
                         ec.message() + "\n",
                     clientKeepAlive);
    co_return clientKeepAlive;
  }

  auto& response = parser->get();
  const auto field = [&](http::field name) -> std::optional<std::string> {
    const auto it = response.find(name);
    if (it == response.end()) return std::nullopt;
    return std::string(Text(it->value()));
  };
  exchange->ReportResponse(static_cast<int>(response.result_int()), HeaderText(response.base()),
                           field(http::field::content_type), field(http::field::content_length));
  const bool upstreamKeepAlive = response.keep_alive();
  const bool untilEof = !parser->is_done() && !parser->chunked() && !parser->content_length();
  bool keepClient = clientKeepAlive;
  RemoveHopByHopFields(response);
  if (untilEof) {
    // The origin ends the body by closing: chunk it for a client that can keep its
    // connection, else close after it too.
    if (request.version() >= 11) {
      response.chunked(true);
    } else {
      keepClient = false;
    }
  }
  response.keep_alive(keepClient);

  http::response_serializer<http::buffer_body> serializer(response);
  bool clientGone = false;
  error_code upstreamError;
  // The bytes that came with the header go through the parser; after them, a body
  // of known length is read straight into the body buffer, without the parser's copy.
  std::optional<std::uint64_t> unread;
  const auto bodyDone = [&] { return unread ? *unread == 0 : parser->is_done(); };
  while (!clientGone && !bodyDone()) {
    // Body bytes already here go out in one write with the header; before a read
    // that may wait for the origin, the header goes ahead alone.
    if (m_upstreamBuffer.size() == 0 && !serializer.is_header_done()) {
      clientGone = !co_await SendHeader(serializer);
      continue;
    }
    if (const auto length = parser->content_length_remaining();
        !unread && m_upstreamBuffer.size() == 0 && length) {
      unread = *length;
    }
    std::size_t received = 0;
    m_upstream->expires_after(options.ioTimeout);
    if (unread) {
      const auto room = static_cast<std::size_t>(std::min<std::uint64_t>(kChunkSize, *unread));
      received = co_await m_upstream->async_read_some(asio::buffer(m_bodyBuffer.get(), room),
                                                      Await(upstreamError));
      *unread -= received;
    } else {
      response.body().data = m_bodyBuffer.get();
      response.body().size = kChunkSize;
      co_await http::async_read_some(*m_upstream, m_upstreamBuffer, *parser, Await(upstreamError));
      if (upstreamError == http::error::need_buffer) upstreamError = {};
      received = kChunkSize - response.body().size;
    }
    // Bytes that came before a failure still go to the client and count.
    if (received == 0 && !bodyDone()) {
      if (upstreamError) break;
      continue;  // framing only, no body bytes yet
    }
    // Pulled through the binding in place: the bytes stay where they were read.
    exchange->Deliver(m_bodyBuffer.get(), received);
    response.body().data = m_bodyBuffer.get();
    response.body().size = binding.Read(m_bodyBuffer.get(), static_cast<std::uint32_t>(received));
    response.body().more = !bodyDone();
    m_client.expires_after(options.ioTimeout);
    co_await http::async_write(m_client, serializer, Await(ec));
    if (ec == http::error::need_buffer) ec = {};
    clientGone = static_cast<bool>(ec);
    if (upstreamError) break;
  }
  if (upstreamError) {
    if (!clientGone && !serializer.is_header_done()) co_await SendHeader(serializer);
    CloseUpstream();
    Fail(*exchange, binding, ErrorNumberFor(upstreamError));
    co_return false;  // the client cannot get the rest of this response
  }
  if (!clientGone && !serializer.is_done()) {
    response.body().data = nullptr;
    response.body().size = 0;
    response.body().more = false;
    co_await http::async_write(m_client, serializer, Await(ec));
    if (ec == http::error::need_buffer) ec = {};
    clientGone = static_cast<bool>(ec);
  }
  if (clientGone) {
    CloseUpstream();
    binding.Abort();
    binding.End();
    co_return false;
  }
  exchange->Finish();
  binding.End();
  if (!upstreamKeepAlive) CloseUpstream();
  co_return keepClient;
}

Task<> CClientConnection::Tunnel(const http::request<http::empty_body>& request) {
  const ExchangeCount counted(m_services.activeExchanges);
  const ProxyOptions& options = m_services.options;
  const std::string authority(Text(request.target()));
  auto exchange = std::make_shared<CProxyTarget>();
  CClientRequest client(Text(request.method_string()), {});
  CExchangeBinding binding(m_services.platform.NewBinding(u"https", exchange), exchange, client);
  binding.Start(FromCodePage(authority));

  const auto target = ParseAuthority(authority);
  if (!target) {
    Fail(*exchange, binding, kErrorInvalidUrl);
    co_await Respond(http::status::bad_request, "Tracewell tunnels to host:port only.\n", false);
    co_return;
  }
  if (options.loopbackUpstreamOnly && !IsLoopbackLiteral(target->host)) {
    Fail(*exchange, binding, kErrorCannotConnect);
    co_await Respond(http::status::forbidden,
                     "Tracewell may only connect to loopback addresses; " + authority +
                         " is not one.\n",
                     false);
    co_return;
  }
  CTimedStream origin(m_client.get_executor());
  std::string address;
  if (const error_code ec = co_await Connect(origin, *target, address)) {
    const std::uint32_t error = ErrorNumberFor(ec);
    Fail(*exchange, binding, error);
    co_await Respond(error == kErrorTimeout ? http::status::gateway_timeout : http::status::bad_gateway,
                     "Tracewell could not connect to " + authority + ": " + ec.message() + "\n",
                     false);
    co_return;
  }
  exchange->ReportConnecting(address);
  exchange->ReportSendingRequest(HeaderText(request.base()));
  error_code ec;
  m_client.expires_after(options.ioTimeout);
  co_await asio::async_write(m_client, asio::buffer(kTunnelEstablished), Await(ec));
  if (ec) co_return;  // the binding ends as aborted
  exchange->ReportResponse(200, std::string(kTunnelEstablished), std::nullopt, std::nullopt);

  // Whatever the client sent after its CONNECT goes first.
  if (m_clientBuffer.size() > 0) {
    origin.expires_after(options.ioTimeout);
    co_await asio::async_write(origin, m_clientBuffer.data(), Await(ec));
    m_clientBuffer.consume(m_clientBuffer.size());
  }
  // Client to origin runs beside this coroutine on the same thread; the first
  // direction to end closes both sockets, and the second is waited for.
  bool uploadDone = false;
  Timer uploadEnded(m_client.get_executor(), Timer::time_point::max());
  asio::co_spawn(
      m_client.get_executor(),
      Pump(m_client, origin, m_bodyBuffer.get(),
           [](char* data, std::size_t size) { return asio::const_buffer(data, size); }),
      [&](std::exception_ptr) {
        uploadDone = true;
        uploadEnded.cancel();
      });
  const auto fromOrigin = std::make_unique<char[]>(kTunnelChunkSize);
  co_await Pump(origin, m_client, fromOrigin.get(), [&](char* data, std::size_t size) {
    exchange->Deliver(data, size);
    const auto pulled = binding.Read(data, static_cast<std::uint32_t>(size));  // in place
    return asio::const_buffer(data, pulled);
  });
  error_code ignored;
  origin.socket().close(ignored);
  m_client.socket().close(ignored);
  while (!uploadDone) co_await uploadEnded.async_wait(Await(ignored));
  exchange->Finish();
  binding.End();
}

template <typename Pass>
Task<> CClientConnection::Pump(CTimedStream& from, CTimedStream& to, char* buffer,
                               Pass pass) {
  const ProxyOptions& options = m_services.options;
  for (;;) {
    error_code ec;
    from.expires_after(options.idleTimeout);
    const std::size_t size =
        co_await from.async_read_some(asio::buffer(buffer, kTunnelChunkSize), Await(ec));
    if (ec) break;
    to.expires_after(options.ioTimeout);
    co_await asio::async_write(to, pass(buffer, size), Await(ec));
    if (ec) break;
  }
  error_code ignored;
  from.socket().close(ignored);
  to.socket().close(ignored);
}

Task<error_code> CClientConnection::ConnectUpstream(const RequestTarget& target,
                                                    CProxyTarget& exchange, bool fresh,
                                                    bool& reused) {
  const std::string authority = target.Authority();
  reused = !fresh && m_upstream && m_upstreamAuthority == authority && m_upstream->socket().is_open();
  if (!reused) {
    CloseUpstream();
    m_upstream.emplace(m_client.get_executor());
    if (const error_code ec = co_await Connect(*m_upstream, target, m_upstreamAddress)) {
      CloseUpstream();
      co_return ec;
    }
    m_upstreamAuthority = authority;
  }
  exchange.ReportConnecting(m_upstreamAddress);
  co_return error_code{};
}

Task<error_code> CClientConnection::Connect(CTimedStream& stream, const RequestTarget& target,
                                            std::string& address) {
  ResolveResult resolved;
  error_code ec;
  const auto literal = asio::ip::make_address(target.host, ec);
  if (!ec) {
    resolved.endpoints.emplace_back(literal, target.port);
  } else {
    resolved = co_await m_services.resolver.Resolve(target.host, target.port);
    if (resolved.error) co_return resolved.error;
    if (resolved.endpoints.empty()) co_return asio::error::host_not_found;
  }
  stream.expires_after(m_services.options.connectTimeout);
  tcp::endpoint connected;
  ec = co_await stream.Connect(resolved.endpoints, connected);
  if (!ec) {
    address = connected.address().to_string();
    SendAtOnce(stream);
  }
  co_return ec;
}

Task<error_code> CClientConnection::SendRequest(std::string_view headerBlock,
                                                std::string_view body) {
  error_code ec;
  const std::array<asio::const_buffer, 2> buffers = {asio::buffer(headerBlock), asio::buffer(body)};
  m_upstream->expires_after(m_services.options.ioTimeout);
  co_await asio::async_write(*m_upstream, buffers, Await(ec));
  co_return ec;
}

Task<error_code> CClientConnection::ReadResponseHeader(
    std::optional<http::response_parser<http::buffer_body>>& parser, bool headRequest) {
  error_code ec;
  for (;;) {
    parser.emplace();
    parser->header_limit(kHeaderLimit);
    parser->body_limit(std::numeric_limits<std::uint64_t>::max());  // streamed, never held
    if (headRequest) parser->skip(true);
    m_upstream->expires_after(m_services.options.ioTimeout);
    co_await http::async_read_header(*m_upstream, m_upstreamBuffer, *parser, Await(ec));
    const unsigned status = ec ? 0 : parser->get().result_int();
    if (ec || status < 100 || status >= 200 || status == 101) co_return ec;
  }
}

Task<bool> CClientConnection::SendHeader(http::response_serializer<http::buffer_body>& serializer) {
  error_code ec;
  m_client.expires_after(m_services.options.ioTimeout);
  co_await http::async_write_header(m_client, serializer, Await(ec));
  co_return !ec;
}

Task<> CClientConnection::Respond(http::status status, std::string text, bool keepAlive) {
  http::response<http::string_body> response(status, 11);
  response.set(http::field::server, "Tracewell");
  response.set(http::field::content_type, "text/plain; charset=utf-8");
  response.body() = std::move(text);
  response.keep_alive(keepAlive);
  response.prepare_payload();
  error_code ec;
  m_client.expires_after(m_services.options.ioTimeout);
  co_await http::async_write(m_client, response, Await(ec));
}

void CClientConnection::CloseUpstream() {
  if (m_upstream) {
    error_code ignored;
    m_upstream->socket().close(ignored);
    m_upstream.reset();
  }
  m_upstreamAuthority.clear();
  m_upstreamBuffer.consume(m_upstreamBuffer.size());
}

void CClientConnection::Fail(CProxyTarget& exchange, CExchangeBinding& binding,
                             std::uint32_t errorNumber) {
  exchange.Fail(errorNumber);
  binding.End();
}

}  // namespace

Task<> ServeClient(Socket client, ConnectionServices services) {
  CClientConnection connection(std::move(client), services);
  co_await connection.Run();
}

}  // namespace tracewell::proxy
