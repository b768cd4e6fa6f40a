#include "devtools/network_layer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "core/devtools/layer_harness.h"
#include "text/utf8.h"

namespace tracewell {
namespace {

using testing::LayerHarness;

constexpr std::string_view kSession = "B5DDAA62F7C956555A8F0FD255F99871";
constexpr std::string_view kUserAgent =
    "Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "HeadlessChrome/156.0.0.0 Safari/537.36";

// A record's grid cells in one line: method, URL, result, type, size, server, and
// where a redirect pointed.
std::string Row(const CHttpTransaction& record) {
  return ToUtf8(record.m_strMethod) + " " + ToUtf8(record.m_strUrl) + " | " +
         ToUtf8(record.m_strResult) + " | " + ToUtf8(record.m_strMimeType) + " | " +
         std::to_string(record.m_nSize) + " | " + ToUtf8(record.m_strIpAddress) + " | " +
         ToUtf8(record.m_strRedirectUrl);
}

std::vector<std::string> Rows(const LayerHarness& harness) {
  std::vector<std::string> rows;
  for (std::size_t i = 0; i < harness.Records(); ++i) rows.push_back(Row(harness.Record(i)));
  return rows;
}

// The lines of `file` whose event is about `requestId`.
std::vector<std::string> EventsOf(std::string_view file, std::string_view requestId) {
  std::vector<std::string> lines;
  const std::string text = testing::DevToolsData(file);
  const std::string needle = "\"requestId\":\"" + std::string(requestId) + "\"";
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    const std::string line = text.substr(start, end - start);
    if (line.find(needle) != std::string::npos) lines.push_back(line);
    start = end == std::string::npos ? text.size() : end + 1;
  }
  return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

std::string Event(std::string_view method, std::string_view params,
                  std::string_view session = kSession) {
  return "{\"method\":\"" + std::string(method) + "\",\"params\":" + std::string(params) +
         ",\"sessionId\":\"" + std::string(session) + "\"}";
}

std::string GetRequest(std::string_view requestId, std::string_view url,
                       std::string_view session = kSession) {
  return Event("Network.requestWillBeSent",
               R"({"requestId":")" + std::string(requestId) + R"(","loaderId":"L1","request":{"url":")" +
                   std::string(url) +
                   R"(","method":"GET","headers":{"Accept":"*/*"},"initialPriority":"High"},"timestamp":14690.1,"type":"Fetch","frameId":"F1"})",
               session);
}

std::string Failed(std::string_view requestId, std::string_view errorText, bool canceled) {
  return Event("Network.loadingFailed", R"({"requestId":")" + std::string(requestId) +
                                            R"(","timestamp":14690.2,"type":"Fetch","errorText":")" +
                                            std::string(errorText) + R"(","canceled":)" +
                                            (canceled ? "true" : "false") + "}");
}

TEST(DevToolsNetworkLayer, PageLoadGivesOneRecordPerRequestAndRedirectHop) {
  LayerHarness harness;
  harness.PlayFile("first_load.jsonl");
  const std::vector<std::string> expected = {
      "GET http://127.0.0.1:8123/start | 200 | text/html | 596 | 127.0.0.1 | ",
      "GET http://127.0.0.1:8123/style.css | 200 | text/css | 15 | 127.0.0.1 | ",
      "GET http://127.0.0.1:8123/app.js | 200 | application/javascript | 8 | 127.0.0.1 | ",
      "GET http://127.0.0.1:8123/etag.png | 200 | image/png | 8 | 127.0.0.1 | ",
      "POST http://127.0.0.1:8123/api | 200 | application/json | 25 | 127.0.0.1 | ",
      "GET http://127.0.0.1:8123/r1 | 302 |  | 0 | 127.0.0.1 | http://127.0.0.1:8123/r2",
      "GET http://127.0.0.1:8123/r2 | 301 |  | 0 | 127.0.0.1 | http://127.0.0.1:8123/final",
      "GET http://127.0.0.1:8123/final | 200 | text/plain | 5 | 127.0.0.1 | ",
      "GET http://127.0.0.1:9/x | 12029 |  | 0 |  | ",
      // Canceled after its 200 response had come: a failed result after a 200
      // response keeps the status.
      "GET http://127.0.0.1:8123/slow | 200 | text/plain | 0 | 127.0.0.1 | ",
      "GET http://127.0.0.1:8123/favicon.ico | 404 | text/plain | 2 | 127.0.0.1 | ",
  };
  EXPECT_EQ(Rows(harness), expected);
  EXPECT_EQ(harness.receiver.LiveRecords(), 0u) << "every record is finished";
  EXPECT_EQ(harness.layer.RequestsInFlight(), 0u);
  EXPECT_TRUE(harness.faults.empty());
}

TEST(DevToolsNetworkLayer, HeaderBlocksAreTheSentHeadersWithCookiesAndTheRawResponse) {
  LayerHarness harness;
  harness.PlayFile("first_load.jsonl");
  const CHttpTransaction& css = harness.Record(1);
  const std::string request =
      "GET /style.css HTTP/1.1\r\n"
      "Host: 127.0.0.1:8123\r\n"
      "Accept: text/css,*/*;q=0.1\r\n"
      "Accept-Encoding: gzip, deflate, br, zstd\r\n"
      "Accept-Language: en-US,en;q=0.9\r\n"
      "Connection: keep-alive\r\n"
      "Cookie: sid=abc\r\n"
      "Referer: http://127.0.0.1:8123/start\r\n"
      "Sec-Fetch-Dest: style\r\n"
      "Sec-Fetch-Mode: no-cors\r\n"
      "Sec-Fetch-Site: same-origin\r\n"
      "User-Agent: " + std::string(kUserAgent) + "\r\n"
      "sec-ch-ua: \"Not:A-Brand\";v=\"8\", \"Chromium\";v=\"156\"\r\n"
      "sec-ch-ua-mobile: ?0\r\n"
      "sec-ch-ua-platform: \"Linux\"\r\n";
  EXPECT_EQ(ToUtf8(css.m_strRequestHeaders), request);
  EXPECT_EQ(css.m_nSent, static_cast<std::int32_t>(request.size() + 2));
  EXPECT_EQ(ToUtf8(css.m_strResponseHeaders),
            "HTTP/1.1 200 OK\r\n"
            "Content-Type: text/css\r\n"
            "Cache-Control: max-age=3600\r\n"
            "Date: Tue, 08 Dec 2026 13:43:04 GMT\r\n"
            "Connection: keep-alive\r\n"
            "Keep-Alive: timeout=5\r\n"
            "Transfer-Encoding: chunked\r\n");
  EXPECT_EQ(ToUtf8(harness.Record(0).m_strResponseHeaders),
            "HTTP/1.1 200 OK\r\n"
            "Content-Type: text/html; charset=utf-8\r\n"
            "Set-Cookie: sid=abc; Path=/\r\n"
            "Date: Tue, 08 Dec 2026 13:43:04 GMT\r\n"
            "Connection: keep-alive\r\n"
            "Keep-Alive: timeout=5\r\n"
            "Transfer-Encoding: chunked\r\n")
      << "the raw block, with the cookie the page set";
}

TEST(DevToolsNetworkLayer, PostDataComesFromTheEvent) {
  LayerHarness harness;
  harness.PlayFile("first_load.jsonl");
  harness.PlayFile("form_post.jsonl");
  EXPECT_EQ(ToUtf8(harness.Record(4).m_strPostData), R"({"x":1})");
  const CHttpTransaction& form = harness.Record(11);
  EXPECT_EQ(Row(form), "POST http://127.0.0.1:8123/form | 404 | text/plain | 2 | 127.0.0.1 | ");
  EXPECT_EQ(ToUtf8(form.m_strPostData), "q=a+b");
  EXPECT_EQ(form.m_nSent, static_cast<std::int32_t>(form.m_strRequestHeaders.size() + 2 + 5))
      << "a POST counts its body as sent";
  EXPECT_TRUE(harness.transport.sent.empty()) << "nothing to ask for";
}

// The form's request without its body in the event, as the browser sends a large one.
std::string FormPostWithoutBody() {
  std::string events = testing::DevToolsData("form_post.jsonl");
  for (const std::string_view field : {R"("postData":"q=a+b",)", R"("postDataEntries":[{"bytes":"cT1hK2I="}],)"}) {
    const std::size_t at = events.find(field);
    EXPECT_NE(at, std::string::npos);
    events.erase(at, field.size());
  }
  return events;
}

TEST(DevToolsNetworkLayer, PostDataIsAskedForWhenTheEventHasNone) {
  struct Case {
    std::string reply;
    std::string postData;
    std::size_t faults;
  };
  const Case cases[] = {
      {R"({"id":1,"result":{"postData":"q=a+b"}})", "q=a+b", 0},
      {R"({"id":1,"result":{"postData":"cT1hK2I=","base64Encoded":true}})", "q=a+b", 0},
      {R"({"id":1,"error":{"code":-32000,"message":"No post data available for the request"}})", "", 0},
      {R"({"id":1,"result":{"postData":"not base64!","base64Encoded":true}})", "", 1},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.reply);
    LayerHarness harness;
    harness.Play(FormPostWithoutBody());
    ASSERT_EQ(harness.transport.sent.size(), 1u);
    EXPECT_EQ(harness.transport.sent[0],
              devtools::Json::parse(R"({"id":1,"method":"Network.getRequestPostData","params":{"requestId":"F7462909129DC3E968225118F9CAD34C"},"sessionId":"B5DDAA62F7C956555A8F0FD255F99871"})"));
    EXPECT_EQ(harness.Records(), 0u) << "the record starts with its body";
    EXPECT_EQ(harness.layer.RequestsInFlight(), 0u) << "the browser has ended it";
    harness.Play(test.reply);
    ASSERT_EQ(harness.Records(), 1u);
    EXPECT_EQ(Row(harness.Record(0)), "POST http://127.0.0.1:8123/form | 404 | text/plain | 2 | 127.0.0.1 | ");
    EXPECT_EQ(ToUtf8(harness.Record(0).m_strPostData), test.postData);
    EXPECT_EQ(harness.receiver.LiveRecords(), 0u);
    EXPECT_EQ(harness.faults.size(), test.faults);
  }
}

TEST(DevToolsNetworkLayer, RedirectHopsCarryTheirOwnStatusHeadersAndTarget) {
  LayerHarness harness;
  harness.PlayFile("first_load.jsonl");
  const CHttpTransaction& first = harness.Record(5);
  EXPECT_EQ(ToUtf8(first.m_strResponseHeaders),
            "HTTP/1.1 302 Found\r\nLocation: /r2\r\nContent-Length: 0\r\n"
            "Date: Tue, 08 Dec 2026 13:43:04 GMT\r\nConnection: keep-alive\r\nKeep-Alive: timeout=5\r\n");
  const CHttpTransaction& second = harness.Record(6);
  EXPECT_EQ(ToUtf8(second.m_strRequestHeaders).substr(0, 40), "GET /r2 HTTP/1.1\r\nHost: 127.0.0.1:8123\r\n");
  EXPECT_EQ(ToUtf8(second.m_strResponseHeaders).substr(0, 32), "HTTP/1.1 301 Moved Permanently\r\n");
  EXPECT_GT(second.m_nSent, 0);

  // On the second load the 301 came from the cache: that hop sent nothing, so its
  // record has no request and no method, and its block is rebuilt.
  LayerHarness again;
  again.PlayFile("second_load.jsonl");
  EXPECT_EQ(Row(again.Record(6)), " http://127.0.0.1:8123/r2 | 301 |  | 0 |  | http://127.0.0.1:8123/final");
  EXPECT_EQ(ToUtf8(again.Record(6).m_strResponseHeaders).substr(0, 32), "HTTP/1.1 301 Moved Permanently\r\n");
  EXPECT_EQ(again.Record(6).m_nSent, 0);
  EXPECT_EQ(Row(again.Record(7)), "GET http://127.0.0.1:8123/final | 200 | text/plain | 5 | 127.0.0.1 | ");
}

TEST(DevToolsNetworkLayer, AHopThatFailsAfterARedirectHasNoResponseOfItsOwn) {
  // As recorded: r1's ExtraInfo events, r1 sent, ..., r1's 302 sends the browser to r2.
  const std::vector<std::string> recorded = EventsOf("first_load.jsonl", "25273.9");
  ASSERT_NE(recorded[7].find("\"redirectResponse\""), std::string::npos);
  const std::vector<std::string> events = {recorded[0], recorded[1], recorded[2], recorded[7]};
  LayerHarness harness;
  harness.Play(Joined(events) + Failed("25273.9", "net::ERR_ABORTED", true));
  EXPECT_EQ(Rows(harness), (std::vector<std::string>{
                               "GET http://127.0.0.1:8123/r1 | 302 |  | 0 | 127.0.0.1 | http://127.0.0.1:8123/r2",
                               " http://127.0.0.1:8123/r2 | (Aborted) |  | 0 |  | "}));
  EXPECT_EQ(harness.Record(1).m_strResponseHeaders, u"");
  EXPECT_EQ(harness.receiver.LiveRecords(), 0u);
}

TEST(DevToolsNetworkLayer, CacheHitsAndRevalidations) {
  LayerHarness harness;
  harness.PlayFile("second_load.jsonl");
  // From the memory cache: nothing was sent, nothing came from a server.
  EXPECT_EQ(Row(harness.Record(1)), "GET http://127.0.0.1:8123/style.css | (Cache) | text/css | 15 |  | ");
  EXPECT_EQ(Row(harness.Record(2)), "GET http://127.0.0.1:8123/app.js | (Cache) | application/javascript | 8 |  | ");
  EXPECT_EQ(harness.Record(1).m_strRequestHeaders, u"");
  EXPECT_EQ(harness.Record(1).m_nSent, 0);
  // Revalidated: the request went out with its validator and the server said 304.
  const CHttpTransaction& image = harness.Record(3);
  EXPECT_EQ(Row(image), "GET http://127.0.0.1:8123/etag.png | 304 | image/png | 8 | 127.0.0.1 | ");
  EXPECT_NE(ToUtf8(image.m_strRequestHeaders).find("\r\nIf-None-Match: \"v1\"\r\n"), std::string::npos);
  EXPECT_EQ(ToUtf8(image.m_strResponseHeaders),
            "HTTP/1.1 304 Not Modified\r\nETag: \"v1\"\r\nDate: Tue, 08 Dec 2026 13:43:04 GMT\r\n"
            "Connection: keep-alive\r\nKeep-Alive: timeout=5\r\n");

  LayerHarness disk;
  disk.PlayFile("disk_cache.jsonl");
  EXPECT_EQ(Rows(disk), std::vector<std::string>{
                            "GET http://127.0.0.1:8123/style.css | (Cache) | text/css | 15 |  | "});
  EXPECT_EQ(disk.receiver.LiveRecords(), 0u);
}

TEST(DevToolsNetworkLayer, FailuresGiveTheNetworkErrorNumberOrAborted) {
  LayerHarness harness;
  const std::pair<std::string_view, bool> failures[] = {
      {"net::ERR_CONNECTION_REFUSED", false}, {"net::ERR_NAME_NOT_RESOLVED", false},
      {"net::ERR_CONNECTION_RESET", false},   {"net::ERR_TIMED_OUT", false},
      {"net::ERR_CERT_DATE_INVALID", false},  {"net::ERR_CERT_COMMON_NAME_INVALID", false},
      {"net::ERR_CERT_AUTHORITY_INVALID", false}, {"net::ERR_CERT_SOMETHING_NEW", false},
      {"net::ERR_SOMETHING_NEW", false},      {"net::ERR_ABORTED", true},
      {"net::ERR_ABORTED", false},            {"net::ERR_BLOCKED_BY_CLIENT", true},
  };
  int id = 0;
  for (const auto& [text, canceled] : failures) {
    const std::string requestId = "31002." + std::to_string(++id);
    harness.Play(GetRequest(requestId, "http://127.0.0.1:8123/f") + "\n" + Failed(requestId, text, canceled));
  }
  std::vector<std::u16string> results;
  for (std::size_t i = 0; i < harness.Records(); ++i) results.push_back(harness.Record(i).m_strResult);
  EXPECT_EQ(results, (std::vector<std::u16string>{u"12029", u"12007", u"12031", u"12002", u"12037",
                                                  u"12038", u"12045", u"12054", u"12030", u"(Aborted)",
                                                  u"(Aborted)", u"(Aborted)"}));
  EXPECT_EQ(harness.receiver.LiveRecords(), 0u);
}

TEST(DevToolsNetworkLayer, Http2HeadersAreRebuiltInHttp11Form) {
  LayerHarness harness;
  harness.PlayFile("http2.jsonl");
  ASSERT_EQ(harness.Records(), 1u);
  const CHttpTransaction& record = harness.Record(0);
  EXPECT_EQ(Row(record), "GET https://127.0.0.1:8443/lib/app.js?v=3 | 200 | text/javascript | 11 | ::1 | ");
  EXPECT_EQ(ToUtf8(record.m_strRequestHeaders),
            "GET /lib/app.js?v=3 HTTP/1.1\r\n"
            "Host: 127.0.0.1:8443\r\n"
            "accept: */*\r\n"
            "accept-encoding: gzip, deflate, br, zstd\r\n"
            "cookie: sid=abc\r\n"
            "referer: https://127.0.0.1:8443/\r\n"
            "user-agent: " + std::string(kUserAgent) + "\r\n");
  EXPECT_EQ(ToUtf8(record.m_strResponseHeaders),
            "HTTP/1.1 200 OK\r\n"
            "cache-control: no-store\r\n"
            "content-length: 11\r\n"
            "content-type: text/javascript; charset=utf-8\r\n"
            "date: Tue, 08 Dec 2026 13:44:01 GMT\r\n"
            "set-cookie: a=1\r\n"
            "set-cookie: b=2\r\n");
}

TEST(DevToolsNetworkLayer, ExtraInfoBeforeOrAfterItsEventGivesTheSameRecord) {
  // As recorded, both ExtraInfo events of the POST came before requestWillBeSent.
  const std::vector<std::string> recorded = EventsOf("first_load.jsonl", "25273.8");
  ASSERT_EQ(recorded.size(), 6u);
  ASSERT_NE(recorded[0].find("requestWillBeSentExtraInfo"), std::string::npos);
  ASSERT_NE(recorded[1].find("responseReceivedExtraInfo"), std::string::npos);
  std::vector<std::string> late(recorded.begin() + 2, recorded.end());
  late.push_back(recorded[1]);
  late.push_back(recorded[0]);

  LayerHarness before;
  before.Play(Joined(recorded));
  LayerHarness after;
  after.Play(Joined(late));
  ASSERT_EQ(before.Records(), 1u);
  ASSERT_EQ(after.Records(), 1u);
  EXPECT_EQ(Row(after.Record(0)), Row(before.Record(0)));
  EXPECT_EQ(after.Record(0).m_strRequestHeaders, before.Record(0).m_strRequestHeaders);
  EXPECT_EQ(after.Record(0).m_strResponseHeaders, before.Record(0).m_strResponseHeaders);
  EXPECT_NE(ToUtf8(after.Record(0).m_strRequestHeaders).find("\r\nCookie: sid=abc\r\n"), std::string::npos);
  EXPECT_EQ(after.receiver.LiveRecords(), 0u);
}

TEST(DevToolsNetworkLayer, ALoadThatEndsBeforeItsResponseIsAnnouncedWaitsForIt) {
  // The response announced last, after the data and the end.
  const std::vector<std::string> recorded = EventsOf("first_load.jsonl", "25273.3");
  std::vector<std::string> early = recorded;
  const auto response = std::ranges::find_if(
      early, [](const std::string& event) { return event.find("Network.responseReceived\"") != std::string::npos; });
  ASSERT_NE(response, early.end());
  std::rotate(response, response + 1, early.end());

  LayerHarness inOrder;
  inOrder.Play(Joined(recorded));
  LayerHarness endFirst;
  endFirst.Play(Joined(early));
  ASSERT_EQ(endFirst.Records(), 1u);
  EXPECT_EQ(Row(endFirst.Record(0)), Row(inOrder.Record(0)));
  EXPECT_EQ(Row(endFirst.Record(0)), "GET http://127.0.0.1:8123/app.js | 200 | application/javascript | 8 | 127.0.0.1 | ");
  EXPECT_EQ(endFirst.receiver.LiveRecords(), 0u);
}

TEST(DevToolsNetworkLayer, ARecordDoesNotWaitForeverForExtraInfoThatNeverComes) {
  std::vector<std::string> events = EventsOf("first_load.jsonl", "25273.8");
  events.erase(events.begin(), events.begin() + 2);  // no ExtraInfo at all
  LayerHarness harness;
  harness.Play(Joined(events));
  ASSERT_EQ(harness.Records(), 1u);
  EXPECT_EQ(harness.receiver.LiveRecords(), 1u) << "waiting for the headers as sent";
  EXPECT_EQ(harness.layer.RequestsInFlight(), 0u);
  for (std::uint64_t i = 0; i < devtools::kLateEventPatience; ++i) {
    harness.Play(Event("Network.dataReceived", R"({"requestId":"other","dataLength":1})"));
  }
  EXPECT_EQ(harness.receiver.LiveRecords(), 0u);
  const CHttpTransaction& record = harness.Record(0);
  EXPECT_EQ(Row(record), "POST http://127.0.0.1:8123/api | 200 | application/json | 25 | 127.0.0.1 | ");
  // What the main events say: the fields the page set (no cookie), the response's
  // fields without the cookie it may have set.
  EXPECT_EQ(ToUtf8(record.m_strRequestHeaders),
            "POST /api HTTP/1.1\r\n"
            "Host: 127.0.0.1:8123\r\n"
            "Content-Type: application/json\r\n"
            "Referer: http://127.0.0.1:8123/start\r\n"
            "User-Agent: " + std::string(kUserAgent) + "\r\n"
            "sec-ch-ua: \"Not:A-Brand\";v=\"8\", \"Chromium\";v=\"156\"\r\n"
            "sec-ch-ua-mobile: ?0\r\n"
            "sec-ch-ua-platform: \"Linux\"\r\n");
  EXPECT_EQ(ToUtf8(record.m_strResponseHeaders),
            "HTTP/1.1 200 OK\r\n"
            "Connection: keep-alive\r\n"
            "Content-Type: application/json\r\n"
            "Date: Tue, 08 Dec 2026 13:43:04 GMT\r\n"
            "Keep-Alive: timeout=5\r\n"
            "Transfer-Encoding: chunked\r\n");
}

TEST(DevToolsNetworkLayer, UnknownFieldsAndEventsChangeNothing) {
  LayerHarness plain;
  plain.PlayFile("disk_cache.jsonl");
  std::string decorated = testing::DevToolsData("disk_cache.jsonl");
  const std::string unknown = R"("futureField":{"nested":[1,2,{"x":null}]},"anotherOne":"text",)";
  for (std::size_t at = decorated.find("\"requestId\""); at != std::string::npos;
       at = decorated.find("\"requestId\"", at + unknown.size() + 1)) {
    decorated.insert(at, unknown);
  }
  LayerHarness extended;
  extended.Play(Event("Network.futureEvent", R"({"requestId":"31002.7","what":1})"));
  extended.Play(decorated);
  extended.Play(Event("Network.resourceChangedPriority", R"({"requestId":"31002.7","newPriority":"High"})"));
  extended.Play(Event("Page.frameNavigated", R"({"frame":{"id":"F1"}})"));
  EXPECT_EQ(Rows(extended), Rows(plain));
  EXPECT_TRUE(extended.faults.empty());
}

TEST(DevToolsNetworkLayer, MalformedEventsAreReportedAndChangeNothing) {
  LayerHarness harness;
  harness.Play(GetRequest("31002.1", "http://127.0.0.1:8123/a"));
  const std::string bad[] = {
      Event("Network.loadingFinished", R"({"timestamp":1})"),
      Event("Network.loadingFinished", R"({"requestId":7})"),
      Event("Network.loadingFinished", R"({"requestId":""})"),
      Event("Network.responseReceived", R"({"requestId":"31002.1","response":{"status":"200"}})"),
      Event("Network.responseReceived", R"({"requestId":"31002.1","response":{"status":200,"headers":{"A":1}}})"),
      Event("Network.responseReceived", R"({"requestId":"31002.1"})"),
      Event("Network.dataReceived", R"({"requestId":"31002.1","dataLength":-5})"),
      Event("Network.loadingFailed", R"({"requestId":"31002.1","canceled":"yes"})"),
      Event("Network.requestWillBeSent", R"({"requestId":"31002.2","request":{"url":5,"method":"GET"}})"),
      R"({"method":"Network.loadingFinished","params":{"requestId":"31002.1"},"sessionId":3})",
      "not json at all",
  };
  for (const std::string& event : bad) harness.Play(event);
  EXPECT_EQ(harness.faults.size(), std::size(bad));
  ASSERT_EQ(harness.Records(), 1u);
  EXPECT_EQ(harness.layer.RequestsInFlight(), 1u);
  EXPECT_EQ(harness.receiver.LiveRecords(), 1u);
  EXPECT_EQ(harness.Record(0).m_strResult, u"");
  EXPECT_EQ(harness.faults[3], "Network.responseReceived: status is not a status code");
}

TEST(DevToolsNetworkLayer, NoRecordWhileCaptureIsOff) {
  LayerHarness harness(/*capturing=*/false);
  harness.Play(GetRequest("31002.1", "http://127.0.0.1:8123/a"));
  EXPECT_EQ(harness.layer.RequestsInFlight(), 1u) << "the browser's requests count all the same";
  EXPECT_EQ(harness.registration.StartCapture(harness.notifier), hr::Ok);
  harness.PlayFile("first_load.jsonl");
  harness.Play(Failed("31002.1", "net::ERR_ABORTED", true));
  EXPECT_EQ(harness.Records(), 11u) << "only requests that started while recording";
  EXPECT_EQ(harness.registration.StopCapture(), hr::Ok);
  harness.PlayFile("second_load.jsonl");
  EXPECT_EQ(harness.Records(), 11u);
  EXPECT_EQ(harness.layer.RequestsInFlight(), 0u);
}

TEST(DevToolsNetworkLayer, ATargetOrBrowserGoingAwayEndsItsOpenRequestsAsAborted) {
  constexpr std::string_view kOther = "0FA2D29D3C1B4E8C9A7B6D5E4F3A2B1C";
  LayerHarness harness;
  const std::vector<std::string> document = EventsOf("first_load.jsonl", "84413CD95255B4B49EF7A644782D726F");
  harness.Play(document[0] + "\n" + document[1]);  // sent, not yet answered
  harness.Play(GetRequest("31002.1", "http://127.0.0.1:8123/worker.js", kOther));
  harness.Play(GetRequest("31002.2", "http://127.0.0.1:8123/other.js", kOther));
  EXPECT_EQ(harness.layer.RequestsInFlight(), 3u);

  harness.layer.OnSessionDetached(kSession);
  EXPECT_EQ(harness.layer.RequestsInFlight(), 2u);
  EXPECT_EQ(Row(harness.Record(0)), "GET http://127.0.0.1:8123/start | (Aborted) |  | 0 |  | ");
  EXPECT_EQ(harness.receiver.LiveRecords(), 2u);
  harness.Play(document[2]);  // what a detached target still had in the pipe
  EXPECT_EQ(harness.Records(), 3u);

  harness.layer.OnBrowserClosed();
  EXPECT_EQ(harness.layer.RequestsInFlight(), 0u);
  EXPECT_EQ(harness.receiver.LiveRecords(), 0u);
  EXPECT_EQ(Row(harness.Record(2)), "GET http://127.0.0.1:8123/other.js | (Aborted) |  | 0 |  | ");
}

// A request that gets a response of `status` and finishes.
std::string Exchange(std::string_view requestId, std::string_view method, int status) {
  const std::string id(requestId);
  const std::string url = "http://127.0.0.1:8123/" + id;
  return Event("Network.requestWillBeSent", R"({"requestId":")" + id + R"(","request":{"url":")" + url +
                                                R"(","method":")" + std::string(method) + R"(","headers":{}}})") +
         "\n" +
         Event("Network.responseReceived", R"({"requestId":")" + id + R"(","response":{"url":")" + url +
                                               R"(","status":)" + std::to_string(status) +
                                               R"(,"statusText":"","headers":{},"mimeType":"text/plain"}})") +
         "\n" + Event("Network.loadingFinished", R"({"requestId":")" + id + R"("})");
}

// The getResponseBody commands sent, by request id, with their command ids.
std::map<std::string, int> BodiesAskedFor(const LayerHarness& harness) {
  std::map<std::string, int> asked;
  for (const auto& command : harness.transport.sent) {
    EXPECT_EQ(command["method"], "Network.getResponseBody");
    asked[command["params"]["requestId"].get<std::string>()] = command["id"].get<int>();
  }
  return asked;
}

std::string Reply(int id, std::string_view result) {
  return R"({"id":)" + std::to_string(id) + R"(,"result":)" + std::string(result) + "}";
}

const std::string* BodyOf(const LayerHarness& harness, std::string_view url) {
  for (std::size_t i = 0; i < harness.Records(); ++i) {
    const CHttpTransaction& record = harness.Record(i);
    if (ToUtf8(record.m_strUrl) == url) return record.m_pResponseBody.get();
  }
  ADD_FAILURE() << "no record of " << url;
  return nullptr;
}

TEST(DevToolsNetworkLayer, AFinishedLoadEndsWithTheBodyTheBrowserGives) {
  LayerHarness harness;
  harness.layer.KeepResponseBodies(1024);
  harness.PlayFile("first_load.jsonl");
  // Every load that finished is asked for; the redirect hops, the failed and the
  // canceled loads are not, and end as before.
  const auto asked = BodiesAskedFor(harness);
  EXPECT_EQ(asked.size(), 7u);
  for (const char* notAsked : {"25273.10", "25273.11"}) EXPECT_FALSE(asked.contains(notAsked));
  EXPECT_EQ(harness.receiver.LiveRecords(), 7u) << "each finished load waits for its body";
  EXPECT_EQ(harness.Records(), 11u);

  harness.Play(Reply(asked.at("84413CD95255B4B49EF7A644782D726F"), R"({"body":"<p>caf\u00e9</p>","base64Encoded":false})"));
  harness.Play(Reply(asked.at("25273.4"), R"({"body":"iVBORw0KGgo=","base64Encoded":true})"));
  harness.Play(Reply(asked.at("25273.8"), R"({"body":7})"));
  harness.Play(Reply(asked.at("25273.2"), R"({"body":"not base64!","base64Encoded":true})"));
  harness.Play(R"({"id":)" + std::to_string(asked.at("25273.12")) +
               R"(,"error":{"code":-32000,"message":"No resource with given identifier found"}})");
  EXPECT_EQ(harness.receiver.LiveRecords(), 2u);
  harness.Play(Reply(asked.at("25273.3"), R"({"body":"","base64Encoded":false})"));
  harness.Play(Reply(asked.at("25273.9"), R"({"body":"done\n"})"));
  EXPECT_EQ(harness.receiver.LiveRecords(), 0u);
  harness.Play(Reply(asked.at("25273.9"), R"({"body":"again"})"));  // a second answer changes nothing

  const std::string* page = BodyOf(harness, "http://127.0.0.1:8123/start");
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(*page, "<p>caf\xC3\xA9</p>") << "text comes as UTF-8";
  const std::string* picture = BodyOf(harness, "http://127.0.0.1:8123/etag.png");
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(*picture, std::string("\x89PNG\r\n\x1A\n", 8));
  EXPECT_EQ(*BodyOf(harness, "http://127.0.0.1:8123/final"), "done\n");
  // app.js got 8 bytes, so the empty answer means the browser kept none of them.
  for (const char* none : {"http://127.0.0.1:8123/api", "http://127.0.0.1:8123/style.css", "http://127.0.0.1:8123/app.js",
                           "http://127.0.0.1:8123/favicon.ico", "http://127.0.0.1:8123/r1",
                           "http://127.0.0.1:8123/slow"}) {
    EXPECT_EQ(BodyOf(harness, none), nullptr) << none;
  }
  EXPECT_EQ(harness.faults, (std::vector<std::string>{"Network.getResponseBody: body is not a string",
                                                      "Network.getResponseBody: body is not base64"}));
  // The rows are the ones a layer that keeps no bodies makes.
  LayerHarness plain;
  plain.PlayFile("first_load.jsonl");
  EXPECT_EQ(Rows(harness), Rows(plain));
}

TEST(DevToolsNetworkLayer, BodiesAreAskedForOnlyWhereThereIsOneToKeepAndWithinTheBudget) {
  LayerHarness harness;
  harness.layer.KeepResponseBodies(10);
  harness.Play(Exchange("head", "HEAD", 200));
  harness.Play(Exchange("empty", "GET", 204));
  harness.Play(Exchange("unchanged", "GET", 304));
  EXPECT_TRUE(harness.transport.sent.empty()) << "HEAD, 204 and 304 have no body";
  EXPECT_EQ(harness.receiver.LiveRecords(), 0u);

  harness.Play(Exchange("a", "GET", 200));
  harness.Play(Exchange("b", "GET", 200));
  harness.Play(Exchange("nothing", "GET", 200));
  const auto asked = BodiesAskedFor(harness);
  harness.Play(Reply(asked.at("nothing"), R"({"body":""})"));
  ASSERT_NE(BodyOf(harness, "http://127.0.0.1:8123/nothing"), nullptr) << "no bytes came: the body is empty";
  EXPECT_EQ(*BodyOf(harness, "http://127.0.0.1:8123/nothing"), "");
  harness.Play(Reply(asked.at("a"), R"({"body":"123456"})"));
  harness.Play(Reply(asked.at("b"), R"({"body":"123456"})"));  // 12 bytes would pass the 10
  EXPECT_EQ(*BodyOf(harness, "http://127.0.0.1:8123/a"), "123456");
  EXPECT_EQ(BodyOf(harness, "http://127.0.0.1:8123/b"), nullptr);
  harness.Play(Exchange("c", "GET", 200));
  EXPECT_EQ(BodiesAskedFor(harness).size(), 3u) << "nothing more is asked once the budget is spent";
  EXPECT_EQ(harness.receiver.LiveRecords(), 0u);
  EXPECT_EQ(harness.faults, std::vector<std::string>{"response bodies beyond 0 MB in one browser run are not kept"});

  // While capture is off nothing is asked; a target going away ends a record that
  // waits for its body as finished, without one.
  LayerHarness off(/*capturing=*/false);
  off.layer.KeepResponseBodies(1024);
  off.Play(Exchange("a", "GET", 200));
  EXPECT_TRUE(off.transport.sent.empty());
  LayerHarness detached;
  detached.layer.KeepResponseBodies(1024);
  detached.Play(Exchange("a", "GET", 200));
  detached.layer.OnSessionDetached(kSession);
  EXPECT_EQ(detached.receiver.LiveRecords(), 0u);
  EXPECT_EQ(Row(detached.Record(0)), "GET http://127.0.0.1:8123/a | 200 | text/plain | 0 |  | ");
  EXPECT_EQ(detached.Record(0).m_pResponseBody, nullptr);
}

TEST(DevToolsNetworkLayer, OnlyWebRequestsAreRecorded) {
  LayerHarness harness;
  harness.Play(GetRequest("1", "data:image/png;base64,iVBORw0KGgo="));
  harness.Play(GetRequest("2", "chrome://resources/roboto.woff2"));
  harness.Play(GetRequest("3", "blob:http://127.0.0.1:8123/8e1c"));
  harness.Play(GetRequest("4", "HTTP://127.0.0.1:8123/upper"));
  EXPECT_EQ(harness.Records(), 0u);
  EXPECT_EQ(harness.layer.RequestsInFlight(), 0u);
}

}  // namespace
}  // namespace tracewell
