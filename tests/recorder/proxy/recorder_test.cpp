// The recorder end to end: real clients (curl, and raw connections where the timing
// of a fault matters) through the proxy on 127.0.0.1 to an origin of the tests' own.

#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "proxy/proxy_server.h"
#include "recorder_harness.h"
#include "support/test_origin.h"
#include "text/code_page.h"

namespace tracewell::testing {
namespace {

std::u16string Wide(std::string_view text) { return FromCodePage(text); }

// The origin's view of a request head with its final empty line cut to one CR LF,
// as the record keeps header blocks.
std::u16string Block(const std::string& head) { return Wide(head.substr(0, head.size() - 2)); }

TEST(Recorder, GetThroughCurlIsRecordedAsSentAndReceived) {
  TestOrigin origin;
  RecorderHarness harness;
  const CommandResult curl = Curl(harness.ProxyAddress(), origin.Url("/hello?q=1"));
  ASSERT_EQ(curl.exitCode, 0);
  EXPECT_EQ(curl.output, "<p>hello</p>");
  const auto& records = harness.WaitForFinished(1);
  ASSERT_EQ(records.size(), 1u);
  const CHttpTransaction& record = *records[0];
  const std::string sent = origin.Heads().at(0);
  EXPECT_TRUE(sent.starts_with("GET /hello?q=1 HTTP/1.1\r\n")) << sent;
  EXPECT_EQ(sent.find("Proxy-Connection"), std::string::npos);
  EXPECT_EQ(record.m_strMethod, u"GET");
  EXPECT_EQ(record.m_strUrl, Wide(origin.Url("/hello?q=1")));
  EXPECT_EQ(record.m_strRequestHeaders, Block(sent));
  EXPECT_EQ(record.m_nSent, static_cast<std::int32_t>(sent.size()));  // the block + 2
  EXPECT_EQ(record.m_strResponseHeaders,
            u"HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: 12\r\n");
  EXPECT_EQ(record.m_strResult, u"200");
  EXPECT_EQ(record.m_strMimeType, u"text/html");  // the media type, as the filter matches it
  EXPECT_EQ(record.m_nSize, 12);
  EXPECT_EQ(record.m_strIpAddress, u"127.0.0.1");
  EXPECT_EQ(record.m_strRedirectUrl, u"");
  EXPECT_NE(record.m_stStarted.wYear, 0);
  EXPECT_GE(*SystemTimeToFileTime(record.m_stEnded), *SystemTimeToFileTime(record.m_stStarted));
  // Address, request, type, the last data with the size, result, finish.
  EXPECT_EQ(harness.Masks(record),
            (std::vector<std::uint32_t>{kMaskIpAddress, kMaskSent, kMaskType, kMaskSize,
                                       kMaskResult | kMaskType,
                                       kMaskDuration | kMaskSize | kMaskFinished}));
}

TEST(Recorder, PostBodiesAreForwardedWholeAndRecordedUpToANul) {
  TestOrigin origin;
  RecorderHarness harness;
  const std::string body("a=1&b=\0c", 8);
  const std::string reply = RawExchange(
      harness.Port(), "POST " + origin.Url("/echo") +
                          " HTTP/1.1\r\nHost: x\r\nContent-Type: text/plain\r\nContent-Length: 8\r\n"
                          "Connection: close\r\n\r\n" + body);
  EXPECT_TRUE(reply.ends_with(body)) << reply;
  const CHttpTransaction& record = *harness.WaitForFinished(1).at(0);
  EXPECT_EQ(record.m_strMethod, u"POST");
  EXPECT_EQ(record.m_strPostData, u"a=1&b=");
  // The header block as the client sent it, with its empty line, and the body.
  EXPECT_EQ(record.m_nSent, static_cast<std::int32_t>(record.m_strRequestHeaders.size() + 2 + 6));
  EXPECT_EQ(record.m_nSize, 8);

  // Other verbs keep their name; a HEAD answer has no body.
  RawExchange(harness.Port(), "HEAD " + origin.Url("/hello") + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
  const CHttpTransaction& head = *harness.WaitForFinished(2).at(1);
  EXPECT_EQ(head.m_strMethod, u"HEAD");
  EXPECT_EQ(head.m_strResult, u"200");
  EXPECT_EQ(head.m_nSize, 0);
}

TEST(Recorder, RedirectKeepsItsLocationAndTheNextHopIsItsOwnRecord) {
  TestOrigin origin;
  RecorderHarness harness;
  const CommandResult curl = Curl(harness.ProxyAddress(), "-L " + origin.Url("/redirect"));
  EXPECT_EQ(curl.output, "<p>hello</p>");
  const auto& records = harness.WaitForFinished(2);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0]->m_strResult, u"302");
  EXPECT_EQ(records[0]->m_strRedirectUrl, u"/hello");
  EXPECT_EQ(records[1]->m_strUrl, Wide(origin.Url("/hello")));
  EXPECT_EQ(records[1]->m_strResult, u"200");
}

TEST(Recorder, BodiesOfEveryFramingArriveWholeAndCountTheirBytes) {
  TestOrigin origin;
  RecorderHarness harness;
  EXPECT_EQ(Curl(harness.ProxyAddress(), origin.Url("/chunked")).output, "abcdefghijklmnopqrstuvwxyz");
  EXPECT_EQ(Curl(harness.ProxyAddress(), origin.Url("/eof")).output, "until the end");
  EXPECT_EQ(Curl(harness.ProxyAddress(), origin.Url("/big?3000000")).output.size(), 3000000u);
  const auto& records = harness.WaitForFinished(3);
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0]->m_nSize, 26);
  EXPECT_NE(records[0]->m_strResponseHeaders.find(u"Transfer-Encoding: chunked"), std::u16string::npos);
  EXPECT_EQ(records[1]->m_nSize, 13);
  EXPECT_EQ(records[2]->m_nSize, 3000000);
}

TEST(Recorder, UpstreamFailuresShowTheirNetworkErrorNumbers) {
  TestOrigin origin;
  RecorderHarness harness;
  harness.resolver.Add("origin.test", "127.0.0.1");
  unsigned short closedPort = 0;
  {
    proxy::asio::io_context io;
    proxy::tcp::acceptor probe(io, {proxy::asio::ip::address_v4::loopback(), 0});
    closedPort = probe.local_endpoint().port();
  }  // nothing listens there any more
  const std::pair<std::string, std::u16string> cases[] = {
      {"http://127.0.0.1:" + std::to_string(closedPort) + "/", u"12029"},
      {"http://nowhere.test/", u"12007"},
      {"http://origin.test:" + std::to_string(origin.Port()) + "/hello", u"200"},  // resolved by the test
      {origin.Url("/stall-header"), u"12002"},
      {origin.Url("/stall-body"), u"12002"},
      {origin.Url("/reset"), u"12031"},
  };
  for (const auto& [url, result] : cases) Curl(harness.ProxyAddress(), url);
  RawExchange(harness.Port(), "GET http://bad:port:x/ HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
  const auto& records = harness.WaitForFinished(std::size(cases) + 1);
  ASSERT_EQ(records.size(), std::size(cases) + 1);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(records[i]->m_strResult, cases[i].second) << cases[i].first;
  }
  EXPECT_EQ(records.back()->m_strResult, u"12005");
  EXPECT_EQ(records[4]->m_nSize, 10);  // the bytes that did arrive
}

TEST(Recorder, AnOriginEndingOrStallingABodyFailsAlikeForSmallAndLargeBodies) {
  // A large body goes from socket to socket without being copied, a small one through
  // the proxy's buffer: the client and the record see the same either way, whether
  // the origin closes half-way ("/short") or stops sending ("/short-stall").
  TestOrigin origin;
  RecorderHarness harness;
  const std::string paths[] = {"/short", "/short-stall"};
  const std::size_t sizes[] = {1000, 3'000'000};
  for (const std::string& path : paths) {
    for (const std::size_t size : sizes) {
      const std::string url = origin.Url(path + "?" + std::to_string(size));
      const std::string received = RawExchange(harness.Port(), "GET " + url + " HTTP/1.1\r\nHost: x\r\n\r\n");
      const auto bodyAt = received.find("\r\n\r\n");
      ASSERT_NE(bodyAt, std::string::npos) << url;
      EXPECT_EQ(received.substr(bodyAt + 4), std::string(size, 'x')) << url;
    }
  }
  const auto& records = harness.WaitForFinished(4);
  ASSERT_EQ(records.size(), 4u);
  EXPECT_NE(records[0]->m_strResult, u"200");
  EXPECT_EQ(records[1]->m_strResult, records[0]->m_strResult);
  EXPECT_EQ(records[2]->m_strResult, u"12002");  // timed out
  EXPECT_EQ(records[3]->m_strResult, u"12002");
  for (std::size_t i = 0; i < records.size(); ++i) {
    EXPECT_EQ(records[i]->m_nSize, static_cast<std::int32_t>(sizes[i % 2])) << i;
  }
}

TEST(Recorder, ClientGoingAwayMidResponseEndsWithTheAbortRules) {
  TestOrigin origin;
  RecorderHarness harness;
  const std::string received = RawExchange(
      harness.Port(), "GET " + origin.Url("/big?20000000") + " HTTP/1.1\r\nHost: x\r\n\r\n", 100000);
  EXPECT_GE(received.size(), 100000u);
  const CHttpTransaction& record = *harness.WaitForFinished(1).at(0);
  EXPECT_EQ(record.m_strResult, u"200");  // the status had arrived and the request was sent
  EXPECT_GT(record.m_nSize, 0);           // the bytes passed on before the client left
  EXPECT_LT(record.m_nSize, 20000000);
}

TEST(Recorder, TunnelIsOneRecordWithItsHostAndBytes) {
  TestOrigin origin;
  RecorderHarness harness;
  const std::string authority = "127.0.0.1:" + std::to_string(origin.Port());
  const std::string reply = RawExchange(
      harness.Port(), "CONNECT " + authority + " HTTP/1.1\r\nHost: " + authority + "\r\n\r\n" +
                          "GET /hello HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
  EXPECT_TRUE(reply.starts_with("HTTP/1.1 200 Connection Established\r\n\r\nHTTP/1.1 200 OK")) << reply;
  const CHttpTransaction& record = *harness.WaitForFinished(1).at(0);
  EXPECT_EQ(record.m_strMethod, u"CONNECT");
  EXPECT_EQ(record.m_strUrl, Wide(authority));
  EXPECT_EQ(record.m_strResult, u"200");
  EXPECT_EQ(record.m_strIpAddress, u"127.0.0.1");
  EXPECT_EQ(record.m_nSize, static_cast<std::int32_t>(reply.size() - 39));  // all after our answer
}

TEST(Recorder, RecordsOnlyWhileRecordingIsOnAndForwardsAlways) {
  TestOrigin origin;
  RecorderHarness harness;
  harness.Recorder().StopCapture();
  EXPECT_EQ(Curl(harness.ProxyAddress(), origin.Url("/hello")).output, "<p>hello</p>");
  harness.Recorder().StartCapture();
  harness.Recorder().StartCapture();  // on twice records once
  Curl(harness.ProxyAddress(), origin.Url("/hello?second"));
  const auto& records = harness.WaitForFinished(1);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0]->m_strUrl, Wide(origin.Url("/hello?second")));
}

TEST(Recorder, KeptConnectionsAreReusedAndReportTheirAddressEachTime) {
  TestOrigin origin;
  RecorderHarness harness;
  // Two requests on one client connection: the second goes over the kept connection.
  Curl(harness.ProxyAddress(), origin.Url("/hello") + " " + origin.Url("/hello?again"));
  EXPECT_EQ(origin.Heads().size(), 2u);
  const auto& records = harness.WaitForFinished(2);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(harness.Masks(*records[1]).front(), kMaskIpAddress);
  EXPECT_EQ(records[1]->m_strIpAddress, u"127.0.0.1");
}

TEST(Recorder, BodiesLongerThanOneReadLeaveTheKeptConnectionReadyForTheNext) {
  TestOrigin origin;
  RecorderHarness harness;
  // Most of each body is read past the parser, straight to the client: the next
  // response on the same origin connection must start exactly where it ends.
  const CommandResult curl =
      Curl(harness.ProxyAddress(), origin.Url("/big?300001") + " " + origin.Url("/big?70000") + " " +
                                       origin.Url("/hello"));
  EXPECT_EQ(curl.output, std::string(300001, 'x') + std::string(70000, 'x') + "<p>hello</p>");
  const auto& records = harness.WaitForFinished(3);
  ASSERT_EQ(records.size(), 3u);
  for (const auto& record : records) EXPECT_EQ(record->m_strResult, u"200") << ToCodePage(record->m_strUrl);
  EXPECT_EQ(records[0]->m_nSize, 300001);
  EXPECT_EQ(records[1]->m_nSize, 70000);
}

TEST(Recorder, ManyParallelClientsLoseAndDuplicateNothing) {
  TestOrigin origin;
  RecorderHarness harness;
  constexpr int kClients = 200;
  std::vector<std::thread> clients;
  for (int i = 0; i < kClients; ++i) {
    clients.emplace_back([&, i] {
      RawExchange(harness.Port(), "GET " + origin.Url("/hello?n=" + std::to_string(i)) +
                                      " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    });
  }
  for (auto& client : clients) client.join();
  const auto& records = harness.WaitForFinished(kClients);
  ASSERT_EQ(records.size(), static_cast<std::size_t>(kClients));
  std::set<std::u16string> urls;
  for (const auto& record : records) {
    EXPECT_EQ(record->m_strResult, u"200");
    urls.insert(record->m_strUrl);
  }
  EXPECT_EQ(urls.size(), static_cast<std::size_t>(kClients));
}

TEST(Recorder, ShutdownEndsRunningExchangesSoNothingIsLost) {
  TestOrigin origin;
  RecorderHarness harness;
  const std::string proxyAddress = harness.ProxyAddress();
  std::thread client([&] { Curl(proxyAddress, origin.Url("/stall-body")); });
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const auto& records = harness.Shutdown(std::chrono::milliseconds(0));
  client.join();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(harness.Finished(), 1u);
  EXPECT_EQ(records[0]->m_strResult, u"200");
  EXPECT_EQ(records[0]->m_nSize, 10);
}

TEST(RecorderPolicy, LoopbackOnlyRefusesNamesBeforeResolvingThem) {
  TestOrigin origin;
  proxy::ProxyOptions options = TestProxyOptions();
  options.loopbackUpstreamOnly = true;
  RecorderHarness harness(options);
  harness.resolver.Add("origin.test", "127.0.0.1");  // would resolve, but is never asked
  const std::string reply = RawExchange(
      harness.Port(), "GET http://origin.test:" + std::to_string(origin.Port()) +
                          "/hello HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
  EXPECT_TRUE(reply.starts_with("HTTP/1.1 403")) << reply;
  EXPECT_EQ(origin.Heads().size(), 0u);
  EXPECT_EQ(harness.WaitForFinished(1).at(0)->m_strResult, u"12029");
}

}  // namespace
}  // namespace tracewell::testing
