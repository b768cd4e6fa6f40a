// HTTPS through the recorder: curl through the proxy to TLS origins of the tests'
// own, the proxy intercepting with an authority made in the test and trusting the
// origins' test authority. Records of https requests are checked like plain ones.

#include <gtest/gtest.h>

#include <memory>

#include "proxy/interception.h"
#include "recorder_harness.h"
#include "support/temp_dir.h"
#include "support/test_certificates.h"
#include "support/test_origin.h"
#include "support/tls_front.h"
#include "text/code_page.h"
#include "text/utf8.h"

namespace tracewell::testing {
namespace {

using Kind = LeafKind;

std::u16string Wide(std::string_view text) { return FromCodePage(text); }

class Https : public ::testing::Test {
 protected:
  // The recorder with `options`, intercepting as `settings` say (the authority in the
  // test's folder, the origins' authority trusted) unless `intercept` is off.
  void StartRecorder(proxy::InterceptionSettings settings = {}) {
    if (intercept) {
      settings.authorityDirectory = dir / "ca";
      settings.upstreamAuthorities.push_back(certificates.OriginCaPem());
      auto made = proxy::CInterception::Make(std::move(settings));
      ASSERT_TRUE(made.interception) << made.error;
      WriteWholeFile(authorityPem, made.interception->Authority().CertificatePem());
      options.interception = std::move(made.interception);
    }
    harness = std::make_unique<RecorderHarness>(options);
    harness->resolver.Add("origin.test", "127.0.0.1");
  }
  // A TLS origin in front of `origin` with a certificate of `kind` for `name`.
  std::unique_ptr<TlsFront> Front(Kind kind, const std::string& name = "127.0.0.1") {
    const auto leaf = certificates.Leaf(name, kind);
    return std::make_unique<TlsFront>(origin.Port(), leaf.chainPem, leaf.keyPem);
  }
  // curl through the proxy, trusting the proxy's authority.
  CommandResult CurlTrusting(const std::string& arguments) {
    return Curl(harness->ProxyAddress(), "--cacert " + authorityPem.string() + " " + arguments);
  }
  std::string NameUrl(const TlsFront& front, std::string_view path) {
    return "https://origin.test:" + std::to_string(front.Port()) + std::string(path);
  }

  TempDir dir;
  TestCertificates certificates{dir / "origins"};
  std::filesystem::path authorityPem = dir / "tracewell-ca.pem";
  TestOrigin origin;
  proxy::ProxyOptions options = TestProxyOptions();
  bool intercept = true;
  std::unique_ptr<RecorderHarness> harness;
};

TEST_F(Https, RequestsInsideTheTunnelAreRecordedLikePlainOnes) {
  StartRecorder();
  const auto front = Front(Kind::Good);
  const std::string url = front->Url("/hello?q=1");
  const CommandResult curl = CurlTrusting(url);
  ASSERT_EQ(curl.exitCode, 0);
  EXPECT_EQ(curl.output, "<p>hello</p>");
  const auto& records = harness->WaitForFinished(1);
  ASSERT_EQ(records.size(), 1u);  // the CONNECT makes no record of its own
  const CHttpTransaction& record = *records[0];
  const std::string sent = origin.Heads().at(0);
  EXPECT_TRUE(sent.starts_with("GET /hello?q=1 HTTP/1.1\r\n")) << sent;
  EXPECT_EQ(record.m_strMethod, u"GET");
  EXPECT_EQ(record.m_strUrl, Wide(url));
  EXPECT_EQ(record.m_strRequestHeaders, Wide(sent.substr(0, sent.size() - 2)));
  EXPECT_EQ(record.m_strResponseHeaders,
            u"HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: 12\r\n");
  EXPECT_EQ(record.m_strResult, u"200");
  EXPECT_EQ(record.m_strMimeType, u"text/html");
  EXPECT_EQ(record.m_nSize, 12);
  EXPECT_EQ(record.m_strIpAddress, u"127.0.0.1");
}

TEST_F(Https, BodiesRedirectsAndKeptConnectionsWorkAsOverPlainHttp) {
  StartRecorder();
  const auto front = Front(Kind::Good);
  const CommandResult post = CurlTrusting("-d 'a=1&b=2' " + front->Url("/echo"));
  EXPECT_EQ(post.output, "a=1&b=2");
  // Four requests on one client connection: one tunnel, one connection to the origin
  // until the last response ends by closing it.
  const std::string big = std::to_string(10 << 20);
  const CommandResult curl = CurlTrusting(
      "-o /dev/null -o /dev/null -o /dev/null -o /dev/null -w '%{http_code} %{size_download}\\n' " +
      front->Url("/redirect") + " " + front->Url("/chunked") + " " + front->Url("/big?" + big) +
      " " + front->Url("/eof"));
  ASSERT_EQ(curl.exitCode, 0);
  EXPECT_EQ(curl.output, "302 0\n200 26\n200 " + big + "\n200 13\n");
  const auto& records = harness->WaitForFinished(5);
  ASSERT_EQ(records.size(), 5u);
  EXPECT_EQ(records[0]->m_strMethod, u"POST");
  EXPECT_EQ(records[0]->m_strPostData, u"a=1&b=2");
  EXPECT_EQ(records[0]->m_nSize, 7);
  EXPECT_EQ(records[1]->m_strResult, u"302");
  EXPECT_EQ(records[1]->m_strRedirectUrl, u"/hello");
  EXPECT_EQ(records[2]->m_nSize, 26);
  EXPECT_EQ(records[3]->m_nSize, 10 << 20);
  EXPECT_EQ(records[4]->m_nSize, 13);
  for (const auto& record : records) EXPECT_NE(record->m_strResult, u"") << ToUtf8(record->m_strUrl);
  EXPECT_EQ(front->Connections(), 2u) << "the origin connection is kept between requests";
}

TEST_F(Https, ANewConnectionToAKnownOriginResumesItsSession) {
  StartRecorder();
  const auto front = Front(Kind::Good, "origin.test");
  const auto other = Front(Kind::Good, "127.0.0.1");
  for (const auto* url : {"/hello", "/chunked"}) {
    EXPECT_EQ(CurlTrusting(NameUrl(*front, url)).exitCode, 0);  // a client connection each
  }
  EXPECT_EQ(CurlTrusting(other->Url("/hello")).exitCode, 0);
  EXPECT_EQ(front->Connections(), 2u);
  EXPECT_EQ(front->Resumed(), 1u);
  EXPECT_EQ(other->Resumed(), 0u) << "a session belongs to its own origin";
}

TEST_F(Https, ServerNamesComeFromTheTunnelAndAreVerified) {
  StartRecorder();
  const auto front = Front(Kind::Good, "origin.test");
  const std::string url = NameUrl(*front, "/hello");
  // The Host field inside cannot send the request elsewhere: it goes where the
  // CONNECT said, and the record keeps what the client sent.
  const CommandResult curl = CurlTrusting("-H 'Host: elsewhere.example' " + url);
  ASSERT_EQ(curl.exitCode, 0) << curl.output;
  const CHttpTransaction& record = *harness->WaitForFinished(1).at(0);
  EXPECT_EQ(record.m_strUrl, Wide(url));
  EXPECT_NE(record.m_strRequestHeaders.find(u"Host: elsewhere.example\r\n"), std::u16string::npos);
  EXPECT_NE(origin.Heads().at(0).find("Host: origin.test:" + std::to_string(front->Port())),
            std::string::npos);
}

TEST_F(Https, OriginCertificateFaultsAreRowsWithTheirErrorAndA502) {
  StartRecorder();
  struct Case {
    Kind kind;
    std::u16string result;
  };
  const Case cases[] = {{Kind::Expired, u"12037"}, {Kind::WrongName, u"12038"},
                        {Kind::UnknownCa, u"12045"}};
  std::size_t count = 0;
  for (const Case& fault : cases) {
    const auto front = Front(fault.kind);
    const CommandResult curl = CurlTrusting("-w '%{http_code}' -o /dev/null " + front->Url("/hello"));
    EXPECT_EQ(curl.output, "502");
    ++count;
    const CHttpTransaction& record = *harness->WaitForFinished(count).at(count - 1);
    EXPECT_EQ(record.m_strResult, fault.result);
    EXPECT_EQ(record.m_strUrl, Wide(front->Url("/hello")));
  }
  EXPECT_TRUE(origin.Heads().empty()) << "nothing reaches an origin that was not verified";
}

TEST_F(Https, InsecureUpstreamSkipsTheOriginCheck) {
  proxy::InterceptionSettings settings;
  settings.verifyUpstream = false;
  StartRecorder(settings);
  const auto front = Front(Kind::UnknownCa);
  EXPECT_EQ(CurlTrusting(front->Url("/hello")).output, "<p>hello</p>");
}

TEST_F(Https, AClientThatRefusesTheCertificateGetsARowSayingSo) {
  StartRecorder();
  const auto front = Front(Kind::Good);
  // Without the proxy's authority, curl refuses the leaf during the handshake.
  const CommandResult curl = Curl(harness->ProxyAddress(), front->Url("/hello"));
  EXPECT_NE(curl.exitCode, 0);
  const CHttpTransaction& record = *harness->WaitForFinished(1).at(0);
  EXPECT_EQ(record.m_strMethod, u"CONNECT");
  EXPECT_EQ(record.m_strUrl, Wide("127.0.0.1:" + std::to_string(front->Port())));
  EXPECT_EQ(record.m_strResult, u"12045");
  EXPECT_TRUE(origin.Heads().empty());
}

TEST_F(Https, PassThroughHostsAndNoInterceptionKeepTunnels) {
  const auto front = Front(Kind::Good, "origin.test");
  for (const bool intercepting : {true, false}) {
    intercept = intercepting;
    proxy::InterceptionSettings settings;
    settings.passThrough = {"*.test"};
    StartRecorder(settings);
    // The client speaks TLS with the origin itself, trusting the origin's authority.
    const CommandResult curl = Curl(harness->ProxyAddress(), "--cacert " +
                                    certificates.OriginCaPem().string() + " " + NameUrl(*front, "/hello"));
    EXPECT_EQ(curl.output, "<p>hello</p>") << intercepting;
    const CHttpTransaction& record = *harness->WaitForFinished(1).at(0);
    EXPECT_EQ(record.m_strMethod, u"CONNECT");
    EXPECT_EQ(record.m_strUrl, Wide("origin.test:" + std::to_string(front->Port())));
    EXPECT_EQ(record.m_strResult, u"200");
  }
}

TEST_F(Https, PassThroughNamesAnExactHostOrTheNamesBelowASuffixInAnyCase) {
  proxy::InterceptionSettings settings;
  settings.authorityDirectory = dir / "ca";
  settings.passThrough = {"Bank.Example", "*.Pinned.TEST"};
  const auto made = proxy::CInterception::Make(settings);
  ASSERT_TRUE(made.interception) << made.error;
  const proxy::CInterception& interception = *made.interception;
  EXPECT_TRUE(interception.PassesThrough("bank.example"));
  EXPECT_FALSE(interception.PassesThrough("www.bank.example"));  // exact means exact
  EXPECT_TRUE(interception.PassesThrough("app.PINNED.test"));
  EXPECT_TRUE(interception.PassesThrough("a.b.pinned.test"));
  EXPECT_FALSE(interception.PassesThrough("pinned.test"));  // the suffix itself is not below it
  EXPECT_FALSE(interception.PassesThrough("notpinned.test"));
}

TEST_F(Https, GarbageInsteadOfTlsMakesARowAndTheProxyServesOthers) {
  StartRecorder();
  const auto front = Front(Kind::Good);
  const std::string connect = "CONNECT 127.0.0.1:" + std::to_string(front->Port()) +
                              " HTTP/1.1\r\nHost: x\r\n\r\n";
  // Plain HTTP where a hello belongs, then a TLS record header that lies about its length.
  const std::string notTls = RawExchange(harness->Port(), connect + "GET / HTTP/1.1\r\n\r\n");
  EXPECT_TRUE(notTls.starts_with("HTTP/1.1 200")) << notTls;
  RawHalfClosedExchange(harness->Port(), connect + std::string("\x16\x03\x01\xff\xff\x01\x00", 7));
  const auto& records = harness->WaitForFinished(2);
  for (const auto& record : records) EXPECT_EQ(record->m_strMethod, u"CONNECT");
  EXPECT_EQ(CurlTrusting(front->Url("/hello")).output, "<p>hello</p>");
}

TEST_F(Https, LoopbackOnlyRefusesNamesWhateverTheHandshakeSays) {
  options.loopbackUpstreamOnly = true;
  StartRecorder();
  const auto front = Front(Kind::Good, "origin.test");
  const CommandResult curl = CurlTrusting(NameUrl(*front, "/hello"));
  EXPECT_NE(curl.exitCode, 0);
  const CHttpTransaction& record = *harness->WaitForFinished(1).at(0);
  EXPECT_EQ(record.m_strMethod, u"CONNECT");
  EXPECT_EQ(record.m_strResult, u"12029");
  EXPECT_TRUE(origin.Heads().empty());
}

}  // namespace
}  // namespace tracewell::testing
