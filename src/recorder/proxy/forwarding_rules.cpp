#include "proxy/forwarding_rules.h"

#include "proxy/upstream_error.h"

namespace tracewell::proxy {
namespace {

std::string_view Text(beast::string_view text) { return {text.data(), text.size()}; }

bool IsFramingField(beast::string_view name) {
  return beast::iequals(name, "content-length") || beast::iequals(name, "transfer-encoding");
}

// The address a client or a target really is: an IPv4-mapped IPv6 address as IPv4.
asio::ip::address Unmapped(const asio::ip::address& address) {
  if (address.is_v6() && address.to_v6().is_v4_mapped()) {
    return asio::ip::make_address_v4(asio::ip::v4_mapped, address.to_v6());
  }
  return address;
}

bool IsThisMachine(const asio::ip::address& address, const asio::ip::address& local) {
  const auto plain = Unmapped(address);
  return plain.is_loopback() || plain.is_unspecified() || plain == Unmapped(local);
}

bool IsRemoteClient(const TargetPolicy& policy) {
  const auto client = Unmapped(policy.client);
  return !client.is_loopback() && (client.is_unspecified() || client != Unmapped(policy.local));
}

std::string BufferText(const auto& buffers) {
  std::string text;
  text.reserve(beast::buffer_bytes(buffers));
  for (const auto buffer : beast::buffers_range_ref(buffers)) {
    text.append(static_cast<const char*>(buffer.data()), buffer.size());
  }
  return text;
}

}  // namespace

std::string WireText(const http::request_header<>& header) {
  const http::fields::writer writer(header, header.version(), header.method());
  return BufferText(writer.get());
}

std::string WireText(const http::response_header<>& header) {
  const http::fields::writer writer(header, header.version(), header.result_int());
  return BufferText(writer.get());
}

http::response<http::string_body> RefusalResponse(const Refusal& refusal) {
  http::response<http::string_body> response(refusal.status, 11);
  response.set(http::field::server, "Tracewell");
  response.set(http::field::content_type, "text/plain; charset=utf-8");
  response.body() = refusal.text;
  response.keep_alive(refusal.keepAlive);
  response.prepare_payload();
  return response;
}

void RemoveHopByHopFields(http::fields& fields) {
  const std::string connection(Text(fields[http::field::connection]));
  for (const auto& token : http::token_list(connection)) {
    if (!IsFramingField(token)) fields.erase(token);
  }
  for (const auto field :
       {http::field::connection, http::field::keep_alive, http::field::proxy_connection,
        http::field::proxy_authorization, http::field::proxy_authenticate, http::field::te,
        http::field::trailer, http::field::upgrade}) {
    fields.erase(field);
  }
}

bool IsAdmittedClient(const asio::ip::address& address, bool allowRemoteClients) {
  return allowRemoteClients || Unmapped(address).is_loopback();
}

std::optional<Refusal> RefusalForUnreadRequest(const error_code& ec) {
  if (ec == http::error::end_of_stream || ec == http::error::partial_message) return std::nullopt;
  if (ec == http::error::body_limit) {
    return Refusal{http::status::payload_too_large,
                   "Tracewell does not forward request bodies this large.\n"};
  }
  if (ec == http::error::header_limit) {
    return Refusal{http::status::request_header_fields_too_large,
                   "Tracewell does not forward request headers this large.\n"};
  }
  if (ec.category() == http::make_error_code(http::error::bad_target).category()) {
    return Refusal{http::status::bad_request, "Tracewell could not parse the request.\n"};
  }
  return std::nullopt;  // the connection itself failed: nobody to answer
}

std::optional<Refusal> RefusalForRequestFraming(const http::request_header<>& header) {
  const auto codingsField = header.find(http::field::transfer_encoding);
  if (codingsField == header.end()) return std::nullopt;
  const http::token_list codings(codingsField->value());
  std::size_t count = 0;
  beast::string_view last;
  for (const auto& coding : codings) {
    ++count;
    last = coding;
  }
  if (!beast::iequals(last, "chunked")) {
    return Refusal{http::status::bad_request,
                   "Tracewell cannot tell where a request body in this transfer coding ends.\n"};
  }
  if (count > 1) {
    return Refusal{http::status::not_implemented,
                   "Tracewell forwards request bodies in the chunked transfer coding only.\n"};
  }
  return std::nullopt;
}

std::string PrepareUpstreamRequest(http::request<http::string_body>& request,
                                   const RequestTarget& target) {
  RemoveHopByHopFields(request);
  request.erase(http::field::expect);  // the proxy already read the body
  request.target(target.path);
  request.set(http::field::host, target.HostField());
  request.prepare_payload();
  return WireText(request.base());
}

std::string RecordedRequestBlock(const http::request<http::string_body>& upstream,
                                 std::string_view clientHost, std::string upstreamBlock) {
  const std::string_view sentHost = Text(upstream[http::field::host]);
  if (clientHost.empty() || clientHost == sentHost) return upstreamBlock;
  const std::string sentLine = "\r\nHost: " + std::string(sentHost) + "\r\n";
  const auto at = upstreamBlock.find(sentLine);
  if (at == std::string::npos) return upstreamBlock;
  upstreamBlock.replace(at, sentLine.size(), "\r\nHost: " + std::string(clientHost) + "\r\n");
  return upstreamBlock;
}

bool IsAllowedAddress(const asio::ip::address& address, const TargetPolicy& policy) {
  if (policy.loopbackUpstreamOnly && !Unmapped(address).is_loopback()) return false;
  return policy.allowRemoteToLoopback || !IsRemoteClient(policy) ||
         !IsThisMachine(address, policy.local);
}

std::optional<Refusal> RefusalForTarget(const RequestTarget& target, const TargetPolicy& policy,
                                        bool keepAlive) {
  error_code ec;
  const auto literal = asio::ip::make_address(target.host, ec);
  if (policy.loopbackUpstreamOnly && (ec || !Unmapped(literal).is_loopback())) {
    return Refusal{http::status::forbidden,
                   "Tracewell may only connect to loopback addresses; " + target.Authority() +
                       " is not one.\n",
                   kErrorCannotConnect, keepAlive};
  }
  if (ec || IsAllowedAddress(literal, policy)) return std::nullopt;  // a name: checked once resolved
  return RefusalForAddress(target, keepAlive);
}

Refusal RefusalForAddress(const RequestTarget& target, bool keepAlive) {
  return {http::status::forbidden,
          "Tracewell does not connect clients from other machines to " + target.Authority() +
              " on this one.\n",
          kErrorCannotConnect, keepAlive};
}

Refusal RefusalForUpstreamFailure(const error_code& ec, const RequestTarget& target,
                                  bool keepAlive) {
  if (ec == asio::error::access_denied) return RefusalForAddress(target, keepAlive);
  const std::uint32_t error = ErrorNumberFor(ec);
  return {error == kErrorTimeout ? http::status::gateway_timeout : http::status::bad_gateway,
          "Tracewell could not get a response from " + target.Authority() + ": " + ec.message() +
              "\n",
          error, keepAlive};
}

bool MayResend(http::verb method, bool anyByteWritten, const error_code& ec) {
  if (ErrorNumberFor(ec) == kErrorTimeout) return false;
  if (!anyByteWritten) return true;
  switch (method) {
    case http::verb::get:
    case http::verb::head:
    case http::verb::options:
    case http::verb::trace:
    case http::verb::put:
    case http::verb::delete_:
      return true;
    default:
      return false;
  }
}

bool PrepareClientResponse(http::response<http::buffer_body>& response, bool bodyEndsAtClose,
                           unsigned requestVersion, bool clientKeepAlive) {
  RemoveHopByHopFields(response);
  bool keepClient = clientKeepAlive;
  if (bodyEndsAtClose) {
    if (requestVersion >= 11) {
      response.chunked(true);
    } else {
      keepClient = false;
    }
  }
  response.keep_alive(keepClient);
  return keepClient;
}

}  // namespace tracewell::proxy
