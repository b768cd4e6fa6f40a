#include "proxy/client_connection.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>

#include "proxy/body_splice.h"
#include "proxy/connection_stream.h"
#include "capture/exchange_binding.h"
#include "proxy/forwarding_rules.h"
#include "proxy/interception.h"
#include "proxy/timed_stream.h"
#include "proxy/tls_failure.h"
#include "proxy/upstream_connection.h"
#include "proxy/upstream_error.h"
#include "text/code_page.h"
#include "tls/openssl_handles.h"

namespace tracewell::proxy {
namespace {

constexpr std::size_t kChunkSize = 128 * 1024;
constexpr std::size_t kTunnelChunkSize = kChunkSize / 2;
// A body with at least this much still to come is spliced, when it may be: below it,
// a read and a write cost less than making a pipe.
constexpr std::uint64_t kSpliceFrom = 64 * 1024;
constexpr std::uint64_t kSpliceStep = 64 * 1024 * 1024;  // counted through the binding in between
constexpr std::size_t kReadBufferSize = 16 * 1024;
constexpr std::uint32_t kHeaderLimit = 64 * 1024;
// After refusing a request, what the client still sends is read and dropped for up
// to this long before the connection closes: closing with unread bytes would reset
// it, and the client would never see the answer.
constexpr std::chrono::seconds kLingerTime{5};
// How long a TLS client gets to answer the proxy's close_notify at the end.
constexpr std::chrono::seconds kCloseTime{1};
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

std::string_view Text(beast::string_view text) { return {text.data(), text.size()}; }

// A header and its body may go out as separate writes: without this, the second
// waits for the peer's delayed acknowledgement of the first.
void SendAtOnce(CTimedStream& stream) {
  error_code ignored;  // only a delay is at stake
  stream.socket().set_option(tcp::no_delay(true), ignored);
}

std::string EndpointText(const tcp::endpoint& endpoint) {
  const auto address = endpoint.address();
  return (address.is_v6() ? "[" + address.to_string() + "]" : address.to_string()) + ":" +
         std::to_string(endpoint.port());
}

class CClientConnection {
 public:
  CClientConnection(Socket socket, ConnectionServices services)
      : m_client(std::move(socket)),
        m_services(services),
        m_interception(services.options.interception),
        m_upstream(kReadBufferSize),
        m_bodyBuffer(std::make_unique<char[]>(kChunkSize)) {
    // Reads fill what room a buffer has (at least 512 bytes): room for a header
    // block and more. A body of known length bypasses the upstream buffer.
    m_clientBuffer.reserve(kReadBufferSize);
    const ProxyOptions& options = services.options;
    m_policy.loopbackUpstreamOnly = options.loopbackUpstreamOnly;
    m_policy.allowRemoteToLoopback = options.allowRemoteToLoopback;
    // A client whose address cannot be read counts as remote: it gets the narrower rules.
    error_code ec;
    const tcp::endpoint peer = m_client.socket().remote_endpoint(ec);
    if (!ec) m_policy.client = peer.address();
    m_name = ec ? "client" : "client " + EndpointText(peer);
    const tcp::endpoint local = m_client.socket().local_endpoint(ec);
    if (!ec) m_policy.local = local.address();
  }

  Task<> Run();

 private:
  // Reads requests and forwards them until the connection ends or turns into a tunnel.
  Task<> ServeRequests();
  Task<bool> Forward(http::request<http::string_body>& request);
  Task<> Tunnel(const http::request<http::empty_body>& request);
  // A tunnel whose bytes pass through unread: one record for the whole connection.
  Task<> PassThrough(const http::request<http::empty_body>& request);
  // A tunnel that the proxy ends with TLS of its own: each request inside is
  // forwarded and recorded like a plain one. A failed handshake makes one record.
  Task<> Intercept(const http::request<http::empty_body>& request, const RequestTarget& target);
  // TLS to the origin over a connected `stream`, verified for m_tlsName; `origin`
  // names the origin and that name.
  Task<error_code> StartOriginTls(CConnectionStream& stream, const std::string& origin);

  // The one opening step of requests and tunnels: the name resolved (literal
  // addresses as they are), the addresses the client may not reach left out (none
  // left: access_denied), and the first that accepts connected.
  Task<error_code> ConnectTo(CTimedStream& stream, const RequestTarget& target,
                             std::string& address);
  // The response header ahead of its body; false when the client has gone.
  Task<bool> SendHeader(http::response_serializer<http::buffer_body>& serializer);
  // The proxy's own answer; a refused connection is then closed gently.
  Task<> Respond(const Refusal& refusal);
  // An exchange that ends with the proxy's own answer: its record gets the error number.
  Task<> Refuse(CExchangeTarget& exchange, CExchangeBinding& binding, const Refusal& refusal);
  // Reads and drops what the client still sends, until it closes or kLingerTime ends.
  Task<> Linger();
  // Copies `from` to `to` until `from` ends, passing a clean end on as a half-close;
  // `pass` turns each read into what is written. The error that ended it, if any.
  template <typename Pass>
  Task<error_code> Pump(CTimedStream& from, CTimedStream& to, char* buffer, Pass pass);
  void Log(std::string_view why) const;
  // The store's part in one response; null when nothing is stored.
  std::unique_ptr<store::CResponseTee> StartStoring(beast::string_view method, std::string_view url,
                                                    std::string_view requestBlock,
                                                    std::string_view responseBlock) const;

  CConnectionStream m_client;
  beast::flat_buffer m_clientBuffer;
  ConnectionServices m_services;
  TargetPolicy m_policy;
  std::string m_name;  // "client ADDRESS:PORT", for the failure log
  std::shared_ptr<CInterception> m_interception;
  // Inside an intercepted tunnel: where it goes (secure), and the name the client
  // asked for in its handshake, which the origin's certificate must match.
  std::optional<RequestTarget> m_tunnel;
  std::string m_tlsName;
  CUpstreamConnection m_upstream;
  // A response's body bytes on their way, and a tunnel's bytes from the client.
  std::unique_ptr<char[]> m_bodyBuffer;
};

Task<> CClientConnection::Run() {
  SendAtOnce(m_client.Timed());
  co_await ServeRequests();
}

Task<> CClientConnection::ServeRequests() {
  const ProxyOptions& options = m_services.options;
  for (;;) {
    http::request_parser<http::empty_body> header;
    header.header_limit(kHeaderLimit);
    header.body_limit(options.maxRequestBody);  // a declared length is checked here already
    error_code ec;
    m_client.expires_after(options.idleTimeout);
    co_await http::async_read_header(m_client, m_clientBuffer, header, Await(ec));
    if (ec) {
      if (const auto refusal = RefusalForUnreadRequest(ec)) co_await Respond(*refusal);
      co_return;
    }
    if (header.get().method() == http::verb::connect) {
      if (m_tunnel) {
        co_await Respond({http::status::bad_request, "Tracewell opens no tunnel inside a tunnel.\n"});
      } else {
        co_await Tunnel(header.get());
      }
      co_return;
    }
    if (const auto refusal = RefusalForRequestFraming(header.get())) {
      co_await Respond(*refusal);
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
    if (ec) {
      if (const auto refusal = RefusalForUnreadRequest(ec)) co_await Respond(*refusal);
      co_return;
    }
    auto request = parser.release();
    if (!co_await Forward(request)) break;
  }
  co_await m_client.EndSending(kCloseTime);
}

Task<bool> CClientConnection::Forward(http::request<http::string_body>& request) {
  const ExchangeCount counted(m_services.activeExchanges);
  const ProxyOptions& options = m_services.options;
  const bool clientKeepAlive = request.keep_alive();
  const std::string_view requestTarget = Text(request.target());
  const std::string url = m_tunnel ? m_tunnel->Url() + std::string(requestTarget)
                                   : std::string(requestTarget);
  const bool headRequest = request.method() == http::verb::head;
  auto exchange = std::make_shared<CExchangeTarget>();
  CClientRequest client(Text(request.method_string()), request.body());
  CExchangeBinding binding(
      m_services.bindings.NewBinding(m_tunnel ? u"https" : u"http", exchange, m_services.store), exchange,
      client);
  binding.Start(FromCodePage(url));

  const auto target =
      m_tunnel ? ParseTunnelledTarget(requestTarget, *m_tunnel) : ParseAbsoluteHttpUrl(url);
  if (!target) {
    const Refusal refusal{http::status::bad_request,
                          m_tunnel ? "Tracewell forwards requests for paths (\"/...\") inside a "
                                     "tunnel only.\n"
                                   : "Tracewell forwards requests for absolute http:// URLs only.\n",
                          kErrorInvalidUrl, clientKeepAlive};
    co_await Refuse(*exchange, binding, refusal);
    co_return clientKeepAlive;
  }
  if (const auto refusal = RefusalForTarget(*target, m_policy, clientKeepAlive)) {
    co_await Refuse(*exchange, binding, *refusal);
    co_return clientKeepAlive;
  }

  const std::string clientHost(Text(request[http::field::host]));
  const std::string upstreamBlock = PrepareUpstreamRequest(request, *target);
  std::string recordedBlock = RecordedRequestBlock(request, clientHost, upstreamBlock);
  const std::string authority = target->Authority();
  // A kept TLS connection serves only the name its certificate was verified for.
  const std::string origin = target->secure ? "https://" + m_tlsName + "@" + authority : authority;
  std::optional<http::response_parser<http::buffer_body>> parser;
  bool requestReported = false;
  error_code ec;
  for (bool first = true;; first = false) {
    const bool reused = first && m_upstream.Reuse(origin);
    if (!reused) {
      std::string address;
      CConnectionStream& stream = m_upstream.Replace(m_client.get_executor());
      ec = co_await ConnectTo(stream.Timed(), *target, address);
      if (!ec && target->secure) ec = co_await StartOriginTls(stream, origin);
      if (!ec) m_upstream.Connected(origin, std::move(address));
    }
    bool written = false;
    if (!ec) {
      exchange->ReportConnecting(m_upstream.Address());
      ec = co_await m_upstream.Send(upstreamBlock, request.body(), options.ioTimeout, written);
    }
    if (!ec && !requestReported) {
      requestReported = true;
      exchange->ReportSendingRequest(std::move(recordedBlock));
    }
    if (!ec) ec = co_await m_upstream.ReadHeader(parser, headRequest, kHeaderLimit, options.ioTimeout);
    // A kept connection that failed before answering may have been closed by the
    // origin meanwhile: once more on a new one, when that is safe.
    if (!ec || !reused || !MayResend(request.method(), written, ec)) break;
  }
  if (ec) {
    m_upstream.Close();
    co_await Refuse(*exchange, binding, RefusalForUpstreamFailure(ec, *target, clientKeepAlive));
    co_return clientKeepAlive;
  }

  auto& response = parser->get();
  const auto field = [&](http::field name) -> std::optional<std::string> {
    const auto it = response.find(name);
    if (it == response.end()) return std::nullopt;
    return std::string(Text(it->value()));
  };
  std::string responseBlock = WireText(response.base());
  // The store sees the response as the origin sent it, and its body as it passes.
  const auto tee = StartStoring(request.method_string(), url, upstreamBlock, responseBlock);
  exchange->ReportResponse(static_cast<int>(response.result_int()), std::move(responseBlock),
                           field(http::field::content_type), field(http::field::content_length));
  const bool upstreamKeepAlive = response.keep_alive();
  const bool untilEof = !parser->is_done() && !parser->chunked() && !parser->content_length();
  const bool keepClient =
      PrepareClientResponse(response, untilEof, request.version(), clientKeepAlive);

  http::response_serializer<http::buffer_body> serializer(response);
  CConnectionStream& upstream = m_upstream.Stream();
  beast::flat_buffer& upstreamBuffer = m_upstream.Buffer();
  bool clientGone = false;
  error_code upstreamError;
  // The bytes that came with the header go through the parser; after them, a body
  // of known length is read straight into the body buffer, without the parser's copy.
  std::optional<std::uint64_t> unread;
  std::optional<CSplicePipe> pipe;  // made for the first spliced step
  const auto bodyDone = [&] { return unread ? *unread == 0 : parser->is_done(); };
  while (!clientGone && !bodyDone()) {
    // Body bytes already here go out in one write with the header; before a read
    // that may wait for the origin, the header goes ahead alone.
    if (upstreamBuffer.size() == 0 && !serializer.is_header_done()) {
      clientGone = !co_await SendHeader(serializer);
      continue;
    }
    if (const auto length = parser->content_length_remaining();
        !unread && upstreamBuffer.size() == 0 && length) {
      unread = *length;
    }
    if (unread && *unread >= kSpliceFrom && !tee && !upstream.IsTls() && !m_client.IsTls()) {
      if (!pipe) pipe = CSplicePipe::Open();
      if (pipe) {
        const auto step = std::min(*unread, kSpliceStep);
        const SpliceResult spliced =
            co_await SpliceBody(*pipe, upstream.Timed(), m_client.Timed(), step, options.ioTimeout);
        *unread -= spliced.moved;
        // Read through the binding as buffered bytes are, though none were copied.
        exchange->Deliver(nullptr, spliced.moved);
        binding.Read(nullptr, static_cast<std::uint32_t>(spliced.moved));
        upstreamError = spliced.upstream;
        clientGone = static_cast<bool>(spliced.client);
        if (upstreamError) break;
        continue;
      }
    }
    std::size_t received = 0;
    upstream.expires_after(options.ioTimeout);
    if (unread) {
      const auto room = static_cast<std::size_t>(std::min<std::uint64_t>(kChunkSize, *unread));
      received = co_await upstream.async_read_some(asio::buffer(m_bodyBuffer.get(), room),
                                                   Await(upstreamError));
      *unread -= received;
    } else {
      response.body().data = m_bodyBuffer.get();
      response.body().size = kChunkSize;
      co_await http::async_read_some(upstream, upstreamBuffer, *parser, Await(upstreamError));
      if (upstreamError == http::error::need_buffer) upstreamError = {};
      received = kChunkSize - response.body().size;
    }
    // Bytes that came before a failure still go to the client and count.
    if (received == 0 && !bodyDone()) {
      if (upstreamError) break;
      continue;  // framing only, no body bytes yet
    }
    if (tee) tee->Write(m_bodyBuffer.get(), received);
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
    m_upstream.Close();
    Log("the response from " + authority + " broke off: " + upstreamError.message());
    exchange->Fail(ErrorNumberFor(upstreamError));
    binding.End();
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
    m_upstream.Close();
    binding.Abort();
    binding.End();
    co_return false;
  }
  // The entry changes before the binding's end takes the "after" snapshot.
  if (tee) tee->Complete();
  exchange->Finish();
  binding.End();
  m_upstream.Release(upstreamKeepAlive);
  co_return keepClient;
}

Task<> CClientConnection::Tunnel(const http::request<http::empty_body>& request) {
  const auto target = ParseAuthority(Text(request.target()));
  // A refused target gets its refusal from PassThrough, as a record of its own.
  if (target && m_interception && !m_interception->PassesThrough(target->host) &&
      !RefusalForTarget(*target, m_policy, false)) {
    co_await Intercept(request, *target);
  } else {
    co_await PassThrough(request);
  }
}

Task<> CClientConnection::Intercept(const http::request<http::empty_body>& request,
                                    const RequestTarget& target) {
  const ProxyOptions& options = m_services.options;
  error_code ec;
  m_client.expires_after(options.ioTimeout);
  co_await asio::async_write(m_client, asio::buffer(kTunnelEstablished), Await(ec));
  if (ec) co_return;
  ClientHandshake handshake{target.host, {}};
  m_client.BeginTls(m_interception->ClientSide());
  CInterception::PrepareClientSide(m_client.Tls(), handshake);
  m_client.expires_after(options.ioTimeout);
  // A client may send its hello right behind the CONNECT: those bytes are read already.
  ec = co_await m_client.Handshake(ssl::stream_base::server, m_clientBuffer.cdata());
  m_clientBuffer.consume(m_clientBuffer.size());
  if (ec) {
    // One record says why nothing inside the tunnel was recorded.
    const ExchangeCount counted(m_services.activeExchanges);
    const std::string authority(Text(request.target()));
    Log("no TLS with the client for " + authority + ": " +
        (handshake.failure.empty() ? TlsFailureDetail(m_client.Tls(), ec) : handshake.failure));
    auto exchange = std::make_shared<CExchangeTarget>();
    CClientRequest client(Text(request.method_string()), {});
    CExchangeBinding binding(m_services.bindings.NewBinding(u"https", exchange, m_services.store), exchange,
                             client);
    binding.Start(FromCodePage(authority));
    exchange->ReportSendingRequest(WireText(request.base()));
    exchange->Fail(ErrorNumberFor(TlsFailureOf(m_client.Tls(), ec)));
    binding.End();
    co_return;
  }
  const char* asked = SSL_get_servername(m_client.Tls(), TLSEXT_NAMETYPE_host_name);
  m_tlsName = asked != nullptr && *asked != '\0' ? asked : target.host;
  m_tunnel = target;
  m_tunnel->secure = true;
  co_await ServeRequests();
}

Task<error_code> CClientConnection::StartOriginTls(CConnectionStream& stream,
                                                   const std::string& origin) {
  stream.BeginTls(m_interception->OriginSide());
  if (!m_interception->PrepareOriginSide(stream.Tls(), m_tlsName, origin)) {
    Log("no TLS with the origin " + m_tlsName + ": " + tls::OpenSslErrorText());
    co_return MakeErrorCode(TlsFailure::kHandshake);
  }
  stream.expires_after(m_services.options.connectTimeout);
  const error_code ec = co_await stream.Handshake(ssl::stream_base::client, {});
  if (!ec) co_return ec;
  Log("no TLS with the origin " + m_tlsName + ": " + TlsFailureDetail(stream.Tls(), ec));
  co_return TlsFailureOf(stream.Tls(), ec);
}

Task<> CClientConnection::PassThrough(const http::request<http::empty_body>& request) {
  const ExchangeCount counted(m_services.activeExchanges);
  const ProxyOptions& options = m_services.options;
  const std::string authority(Text(request.target()));
  auto exchange = std::make_shared<CExchangeTarget>();
  CClientRequest client(Text(request.method_string()), {});
  CExchangeBinding binding(m_services.bindings.NewBinding(u"https", exchange, m_services.store), exchange,
                           client);
  binding.Start(FromCodePage(authority));

  const auto target = ParseAuthority(authority);
  if (!target) {
    co_await Refuse(*exchange, binding,
                    {http::status::bad_request, "Tracewell tunnels to host:port only.\n",
                     kErrorInvalidUrl});
    co_return;
  }
  if (const auto refusal = RefusalForTarget(*target, m_policy, false)) {
    co_await Refuse(*exchange, binding, *refusal);
    co_return;
  }
  CTimedStream origin(m_client.get_executor());
  CTimedStream& clientStream = m_client.Timed();
  std::string address;
  if (const error_code ec = co_await ConnectTo(origin, *target, address)) {
    co_await Refuse(*exchange, binding, RefusalForUpstreamFailure(ec, *target, false));
    co_return;
  }
  exchange->ReportConnecting(address);
  exchange->ReportSendingRequest(WireText(request.base()));
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
  // Client to origin runs beside this coroutine on the same thread. A direction that
  // ends cleanly passes the half-close on and the other goes on; one that fails ends
  // both at once.
  error_code ignored;  // closing a socket that is already closed
  const auto closeBoth = [&] {
    origin.socket().close(ignored);
    m_client.socket().close(ignored);
  };
  bool uploadDone = false;
  Timer uploadEnded(m_client.get_executor(), Timer::time_point::max());
  asio::co_spawn(
      m_client.get_executor(),
      Pump(clientStream, origin, m_bodyBuffer.get(),
           [](char* data, std::size_t size) { return asio::const_buffer(data, size); }),
      [&](std::exception_ptr escaped, error_code uploadError) {
        if (escaped) {
          LogEscapes(m_services.options.failureLog, m_name + ": tunnel to " + authority)(escaped);
        }
        if (escaped || uploadError) closeBoth();
        uploadDone = true;
        uploadEnded.cancel();
      });
  const auto fromOrigin = std::make_unique<char[]>(kTunnelChunkSize);
  const error_code downloadError =
      co_await Pump(origin, clientStream, fromOrigin.get(), [&](char* data, std::size_t size) {
        exchange->Deliver(data, size);
        const auto pulled = binding.Read(data, static_cast<std::uint32_t>(size));  // in place
        return asio::const_buffer(data, pulled);
      });
  if (downloadError) closeBoth();
  while (!uploadDone) co_await uploadEnded.async_wait(Await(ignored));
  closeBoth();
  exchange->Finish();
  binding.End();
}

template <typename Pass>
Task<error_code> CClientConnection::Pump(CTimedStream& from, CTimedStream& to, char* buffer,
                                         Pass pass) {
  const ProxyOptions& options = m_services.options;
  for (;;) {
    error_code ec;
    from.expires_after(options.idleTimeout);
    const std::size_t size =
        co_await from.async_read_some(asio::buffer(buffer, kTunnelChunkSize), Await(ec));
    if (ec == asio::error::eof) {
      to.socket().shutdown(tcp::socket::shutdown_send, ec);
      co_return ec;
    }
    if (ec) co_return ec;
    to.expires_after(options.ioTimeout);
    co_await asio::async_write(to, pass(buffer, size), Await(ec));
    if (ec) co_return ec;
  }
}

Task<error_code> CClientConnection::ConnectTo(CTimedStream& stream, const RequestTarget& target,
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
    std::erase_if(resolved.endpoints, [&](const tcp::endpoint& endpoint) {
      return !IsAllowedAddress(endpoint.address(), m_policy);
    });
    if (resolved.endpoints.empty()) co_return asio::error::access_denied;
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

Task<bool> CClientConnection::SendHeader(http::response_serializer<http::buffer_body>& serializer) {
  error_code ec;
  m_client.expires_after(m_services.options.ioTimeout);
  co_await http::async_write_header(m_client, serializer, Await(ec));
  co_return !ec;
}

Task<> CClientConnection::Respond(const Refusal& refusal) {
  Log(refusal.text.substr(0, refusal.text.find('\n')));
  auto response = RefusalResponse(refusal);
  error_code ec;
  m_client.expires_after(m_services.options.ioTimeout);
  co_await http::async_write(m_client, response, Await(ec));
  if (!ec && !refusal.keepAlive) co_await Linger();
}

Task<> CClientConnection::Refuse(CExchangeTarget& exchange, CExchangeBinding& binding,
                                 const Refusal& refusal) {
  exchange.Fail(refusal.errorNumber);
  binding.End();
  co_await Respond(refusal);
}

Task<> CClientConnection::Linger() {
  co_await m_client.EndSending(kLingerTime);
  // What comes now is dropped unread, so it need not be decrypted either.
  CTimedStream& client = m_client.Timed();
  client.expires_after(kLingerTime);  // one deadline for all the reads
  error_code ec;
  while (!ec) {
    co_await client.async_read_some(asio::buffer(m_bodyBuffer.get(), kChunkSize), Await(ec));
  }
}

void CClientConnection::Log(std::string_view why) const {
  if (m_services.options.failureLog) m_services.options.failureLog(m_name + ": " + std::string(why));
}

std::unique_ptr<store::CResponseTee> CClientConnection::StartStoring(beast::string_view method,
                                                                     std::string_view url,
                                                                     std::string_view requestBlock,
                                                                     std::string_view responseBlock) const {
  if (m_services.store == nullptr) return nullptr;
  store::StoreRequest stored{FromCodePage(url), FromCodePage(Text(method)), FromCodePage(requestBlock)};
  return m_services.store->Begin(std::move(stored), FromCodePage(responseBlock));
}

}  // namespace

Task<> ServeClient(Socket client, ConnectionServices services) {
  CClientConnection connection(std::move(client), services);
  co_await connection.Run();
}

}  // namespace tracewell::proxy
