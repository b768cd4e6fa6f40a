// The proxy's message rules on plain messages, without a socket.

#include "proxy/forwarding_rules.h"

#include <gtest/gtest.h>

#include "proxy/upstream_error.h"

namespace tracewell::proxy {
namespace {

using asio::ip::make_address;

http::request<http::string_body> Request(http::verb method, std::string target) {
  http::request<http::string_body> request(method, target, 11);
  return request;
}

TEST(ForwardingRules, HopByHopFieldsGoButFramingFieldsStayWhateverConnectionNames) {
  http::response<http::empty_body> response(http::status::ok, 11);
  response.set(http::field::connection, "close, Content-Length, Transfer-Encoding, X-Private");
  response.set(http::field::content_length, "5");
  response.set(http::field::transfer_encoding, "chunked");
  response.set("X-Private", "1");
  response.set(http::field::keep_alive, "timeout=5");
  response.set(http::field::proxy_authenticate, "Basic");
  response.set(http::field::upgrade, "h2c");
  response.set(http::field::server, "origin");
  RemoveHopByHopFields(response);
  EXPECT_EQ(WireText(response.base()),
            "HTTP/1.1 200 OK\r\nContent-Length: 5\r\nTransfer-Encoding: chunked\r\n"
            "Server: origin\r\n\r\n");
}

TEST(ForwardingRules, UpstreamRequestIsInOriginFormWithTheUrlsAuthorityAsHost) {
  auto request = Request(http::verb::post, "http://127.0.0.1:8080/a?b=1");
  request.set(http::field::host, "other.example");
  request.set(http::field::proxy_connection, "keep-alive");
  request.set(http::field::proxy_authorization, "Basic eDp5");
  request.set(http::field::expect, "100-continue");
  request.body() = "abc";
  const RequestTarget target = *ParseAbsoluteHttpUrl("http://127.0.0.1:8080/a?b=1");
  const std::string block = PrepareUpstreamRequest(request, target);
  EXPECT_EQ(block, "POST /a?b=1 HTTP/1.1\r\nHost: 127.0.0.1:8080\r\nContent-Length: 3\r\n\r\n");
  // The record shows what the client sent.
  EXPECT_EQ(RecordedRequestBlock(request, "other.example", block),
            "POST /a?b=1 HTTP/1.1\r\nHost: other.example\r\nContent-Length: 3\r\n\r\n");
  EXPECT_EQ(RecordedRequestBlock(request, "", block), block);

  auto plain = Request(http::verb::get, "http://example.test/");
  EXPECT_EQ(PrepareUpstreamRequest(plain, *ParseAbsoluteHttpUrl("http://example.test/")),
            "GET / HTTP/1.1\r\nHost: example.test\r\n\r\n");  // port 80 is left out
}

TEST(ForwardingRules, RequestFramingThatCannotBeDelimitedIsRefusedAndCloses) {
  const auto framing = [](std::string codings) {
    http::request_header<> header;
    header.method(http::verb::post);
    if (!codings.empty()) header.set(http::field::transfer_encoding, codings);
    return RefusalForRequestFraming(header);
  };
  EXPECT_FALSE(framing(""));
  EXPECT_FALSE(framing("chunked"));
  EXPECT_FALSE(framing("Chunked"));
  ASSERT_TRUE(framing("gzip"));
  EXPECT_EQ(framing("gzip")->status, http::status::bad_request);
  EXPECT_EQ(framing("chunked, gzip")->status, http::status::bad_request);
  EXPECT_EQ(framing("gzip, chunked")->status, http::status::not_implemented);
  EXPECT_FALSE(framing("gzip, chunked")->keepAlive);
}

TEST(ForwardingRules, UnreadRequestsAreAnsweredOnlyWhenTheClientIsOwedAnAnswer) {
  EXPECT_FALSE(RefusalForUnreadRequest(http::error::end_of_stream));  // a clean end
  EXPECT_FALSE(RefusalForUnreadRequest(http::error::partial_message));
  EXPECT_FALSE(RefusalForUnreadRequest(asio::error::connection_reset));
  EXPECT_EQ(RefusalForUnreadRequest(http::error::body_limit)->status, http::status::payload_too_large);
  EXPECT_EQ(RefusalForUnreadRequest(http::error::header_limit)->status,
            http::status::request_header_fields_too_large);
  const auto bad = RefusalForUnreadRequest(http::error::bad_method);
  ASSERT_TRUE(bad);
  EXPECT_EQ(bad->status, http::status::bad_request);
  EXPECT_EQ(bad->text, "Tracewell could not parse the request.\n");
  EXPECT_EQ(bad->errorNumber, 0u);  // no exchange, no record
}

TEST(ForwardingRules, OnlyLoopbackClientsUnlessRemoteOnesAreAllowed) {
  EXPECT_TRUE(IsAdmittedClient(make_address("127.0.0.1"), false));
  EXPECT_TRUE(IsAdmittedClient(make_address("127.3.2.1"), false));
  EXPECT_TRUE(IsAdmittedClient(make_address("::1"), false));
  EXPECT_TRUE(IsAdmittedClient(make_address("::ffff:127.0.0.1"), false));
  EXPECT_FALSE(IsAdmittedClient(make_address("192.168.1.20"), false));
  EXPECT_FALSE(IsAdmittedClient(make_address("::ffff:10.0.0.1"), false));
  EXPECT_TRUE(IsAdmittedClient(make_address("192.168.1.20"), true));
}

TEST(ForwardingRules, RemoteClientsDoNotReachThisMachinesOwnServices) {
  TargetPolicy remote;
  remote.client = make_address("198.18.0.2");
  remote.local = make_address("198.18.0.1");
  for (const char* address : {"127.0.0.1", "127.9.9.9", "::1", "0.0.0.0", "::", "198.18.0.1",
                              "::ffff:127.0.0.1"}) {
    EXPECT_FALSE(IsAllowedAddress(make_address(address), remote)) << address;
  }
  EXPECT_TRUE(IsAllowedAddress(make_address("198.18.0.3"), remote));
  TargetPolicy allowed = remote;
  allowed.allowRemoteToLoopback = true;
  EXPECT_TRUE(IsAllowedAddress(make_address("127.0.0.1"), allowed));

  TargetPolicy local;  // loopback clients, and this machine's own address, reach anything
  local.client = make_address("127.0.0.1");
  local.local = make_address("127.0.0.1");
  EXPECT_TRUE(IsAllowedAddress(make_address("127.0.0.1"), local));
  local.client = local.local = make_address("198.18.0.1");
  EXPECT_TRUE(IsAllowedAddress(make_address("127.0.0.1"), local));

  TargetPolicy unknown;  // an address that could not be read counts as remote
  EXPECT_FALSE(IsAllowedAddress(make_address("127.0.0.1"), unknown));
}

TEST(ForwardingRules, TargetsAreRefusedBeforeAnythingIsResolvedOrConnected) {
  TargetPolicy remote;
  remote.client = make_address("198.18.0.2");
  remote.local = make_address("198.18.0.1");
  const auto literal = RefusalForTarget(*ParseAuthority("127.0.0.1:22"), remote, true);
  ASSERT_TRUE(literal);
  EXPECT_EQ(literal->status, http::status::forbidden);
  EXPECT_EQ(literal->errorNumber, kErrorCannotConnect);
  EXPECT_TRUE(literal->keepAlive);
  EXPECT_FALSE(RefusalForTarget(*ParseAuthority("localhost:22"), remote, true));  // after resolving

  TargetPolicy loopbackOnly;
  loopbackOnly.loopbackUpstreamOnly = true;
  loopbackOnly.client = loopbackOnly.local = make_address("127.0.0.1");
  EXPECT_FALSE(RefusalForTarget(*ParseAuthority("127.0.0.1:80"), loopbackOnly, false));
  EXPECT_FALSE(RefusalForTarget(*ParseAuthority("[::1]:80"), loopbackOnly, false));
  const auto name = RefusalForTarget(*ParseAuthority("localhost:80"), loopbackOnly, false);
  ASSERT_TRUE(name);
  EXPECT_EQ(name->text, "Tracewell may only connect to loopback addresses; localhost:80 is not one.\n");
  EXPECT_TRUE(RefusalForTarget(*ParseAuthority("192.0.2.1:80"), loopbackOnly, false));
}

TEST(ForwardingRules, UpstreamFailuresAnswer504AfterATimeoutAnd502Otherwise) {
  const RequestTarget target = *ParseAuthority("127.0.0.1:81");
  const Refusal timeout = RefusalForUpstreamFailure(beast::error::timeout, target, true);
  EXPECT_EQ(timeout.status, http::status::gateway_timeout);
  EXPECT_EQ(timeout.errorNumber, kErrorTimeout);
  const Refusal refused = RefusalForUpstreamFailure(asio::error::connection_refused, target, false);
  EXPECT_EQ(refused.status, http::status::bad_gateway);
  EXPECT_EQ(refused.errorNumber, kErrorCannotConnect);
  EXPECT_TRUE(refused.text.starts_with("Tracewell could not get a response from 127.0.0.1:81: "));
  EXPECT_EQ(RefusalForUpstreamFailure(asio::error::access_denied, target, false).status,
            http::status::forbidden);

  const auto wire = RefusalResponse(refused);
  EXPECT_EQ(wire[http::field::content_length], std::to_string(refused.text.size()));
  EXPECT_FALSE(wire.keep_alive());
}

TEST(ForwardingRules, OnlyRequestsThatAreSafeToRepeatAreSentAgain) {
  const error_code closed = http::error::end_of_stream;
  for (const auto method : {http::verb::get, http::verb::head, http::verb::options,
                            http::verb::trace, http::verb::put, http::verb::delete_}) {
    EXPECT_TRUE(MayResend(method, true, closed)) << http::to_string(method);
  }
  EXPECT_FALSE(MayResend(http::verb::post, true, closed));
  EXPECT_FALSE(MayResend(http::verb::patch, true, closed));
  EXPECT_TRUE(MayResend(http::verb::post, false, asio::error::broken_pipe));  // none of it went out
  EXPECT_FALSE(MayResend(http::verb::get, true, beast::error::timeout));
  EXPECT_FALSE(MayResend(http::verb::get, false, beast::error::timeout));
}

TEST(ForwardingRules, BodiesEndedByClosingAreChunkedForHttp11ClientsOnly) {
  const auto prepare = [](bool endsAtClose, unsigned version, bool keepAlive) {
    http::response<http::buffer_body> response(http::status::ok, 11);
    response.set(http::field::connection, "close");
    const bool keep = PrepareClientResponse(response, endsAtClose, version, keepAlive);
    return std::make_pair(keep, WireText(response.base()));
  };
  EXPECT_EQ(prepare(true, 11, true),
            std::make_pair(true, std::string("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n")));
  EXPECT_EQ(prepare(true, 10, true),
            std::make_pair(false, std::string("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n")));
  EXPECT_EQ(prepare(false, 11, true), std::make_pair(true, std::string("HTTP/1.1 200 OK\r\n\r\n")));
  EXPECT_EQ(prepare(false, 11, false).first, false);
}

}  // namespace
}  // namespace tracewell::proxy
