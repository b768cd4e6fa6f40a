#include "devtools/header_blocks.h"

#include <gtest/gtest.h>

#include "http_text/network_errors.h"
#include "text/base64.h"

namespace tracewell {
namespace {

using devtools::HeaderFields;

TEST(DevToolsHeaderBlocks, UrlPartsForTheRequestLine) {
  const auto parts = devtools::SplitUrl("https://127.0.0.1:8443/a/b?x=1&y=%20#frag");
  EXPECT_EQ(parts.scheme, "https");
  EXPECT_EQ(parts.authority, "127.0.0.1:8443");
  EXPECT_EQ(parts.target, "/a/b?x=1&y=%20");
  EXPECT_EQ(devtools::SplitUrl("http://127.0.0.1:8123").target, "/");
  EXPECT_EQ(devtools::SplitUrl("http://127.0.0.1:8123?q").target, "?q");
  EXPECT_EQ(devtools::SplitUrl("about:blank").authority, "");
  EXPECT_EQ(devtools::SplitUrl("no scheme").scheme, "");
}

TEST(DevToolsHeaderBlocks, RequestBlockPutsHostFirstAndDropsPseudoFields) {
  const HeaderFields fields = {{":method", "POST"}, {":authority", "example.test:8443"},
                               {"content-type", "text/plain"}, {"x-two", "1\n2"}};
  EXPECT_EQ(devtools::RequestBlock("POST", "https://127.0.0.1:8443/p?q#f", "h3", fields),
            "POST /p?q HTTP/1.1\r\nHost: example.test:8443\r\ncontent-type: text/plain\r\n"
            "x-two: 1\r\nx-two: 2\r\n\r\n");
  EXPECT_EQ(devtools::RequestBlock("GET", "http://127.0.0.1:8123/", "http/1.0", {{"host", "h"}}),
            "GET / HTTP/1.0\r\nHost: h\r\n\r\n");
  EXPECT_EQ(devtools::RequestBlock("GET", "http://127.0.0.1:8123/x", "", {}),
            "GET /x HTTP/1.1\r\nHost: 127.0.0.1:8123\r\n\r\n");
}

TEST(DevToolsHeaderBlocks, StatusLineTakesTheStatusTextOrTheStandardPhrase) {
  EXPECT_EQ(devtools::ResponseBlock("h2", 404, "", {{":status", "404"}, {"server", "t"}}),
            "HTTP/1.1 404 Not Found\r\nserver: t\r\n\r\n");
  EXPECT_EQ(devtools::ResponseBlock("http/1.1", 200, "Fine", {}), "HTTP/1.1 200 Fine\r\n\r\n");
  EXPECT_EQ(devtools::ResponseBlock("h2", 299, "", {}), "HTTP/1.1 299 \r\n\r\n");
  EXPECT_EQ(devtools::ReasonPhrase(308), "Permanent Redirect");
  EXPECT_EQ(devtools::ReasonPhrase(100), "Continue");
  EXPECT_EQ(devtools::ReasonPhrase(505), "HTTP Version Not Supported");
  EXPECT_EQ(devtools::ReasonPhrase(0), "");
  EXPECT_EQ(devtools::HeaderValue({{"Content-TYPE", "a"}, {"content-type", "b"}}, "content-type"), "a");
  EXPECT_EQ(devtools::HeaderValue({}, "x"), std::nullopt);
}

TEST(DevToolsHeaderBlocks, BrowserErrorNames) {
  EXPECT_EQ(NetworkErrorNumber("net::ERR_CONNECTION_REFUSED"), 12029u);
  EXPECT_EQ(NetworkErrorNumber("ERR_CONNECTION_REFUSED"), 12029u);
  EXPECT_EQ(NetworkErrorNumber("net::ERR_TUNNEL_CONNECTION_FAILED"), 12029u);
  EXPECT_EQ(NetworkErrorNumber("net::ERR_UNKNOWN_URL_SCHEME"), 12006u);
  EXPECT_EQ(NetworkErrorNumber("net::ERR_ABORTED"), std::nullopt);
  EXPECT_EQ(NetworkErrorNumber("net::ERR_CERT_REVOKED"), 12054u);
  EXPECT_EQ(NetworkErrorNumber(""), 12030u);
  EXPECT_EQ(NetworkErrorNumber("net::ERR_A"), 12030u);
  EXPECT_EQ(NetworkErrorNumber("net::ERR_ZZZ"), 12030u);
}

TEST(Base64, DecodesWhatTheBrowserEncodes) {
  EXPECT_EQ(DecodeBase64("cT1hK2I="), "q=a+b");
  EXPECT_EQ(DecodeBase64("eyJ4IjoxfQ=="), R"({"x":1})");
  EXPECT_EQ(DecodeBase64("AAEC/w=="), std::string("\x00\x01\x02\xff", 4));
  EXPECT_EQ(DecodeBase64(""), "");
  EXPECT_EQ(DecodeBase64("cT1h"), "q=a");
  EXPECT_EQ(DecodeBase64("cT1"), std::nullopt);
  EXPECT_EQ(DecodeBase64("cT=h"), std::nullopt);
  EXPECT_EQ(DecodeBase64("c T1"), std::nullopt);
  EXPECT_EQ(DecodeBase64("===="), std::nullopt);
}

}  // namespace
}  // namespace tracewell
