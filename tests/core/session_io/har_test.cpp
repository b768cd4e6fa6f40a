#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "session_io/har_export.h"
#include "session_io/har_import.h"
#include "session_io/har_result.h"
#include "session_io/har_time.h"
#include "support/fake_clock.h"
#include "support/sample_session.h"
#include "text/format.h"
#include "text/utf8.h"

namespace tracewell {
namespace {

using Json = nlohmann::json;
using testing::FakeClock;

const FakeClock kCentralEurope(60);

std::string Har(const TransactionArray& records, bool sanitize = false,
                const IClock& clock = kCentralEurope) {
  StringByteSink sink;
  WriteHarExport(records, clock, HarExportOptions{sanitize}, sink);
  return sink.data();
}

HarLoadResult Load(std::string_view text, const IClock& clock = kCentralEurope) {
  MemoryByteSource source(text);
  return ReadHarFile(source, clock);
}

// ---- times and results ------------------------------------------------------

TEST(HarTime, WritesLocalTimesWithTheirOffset) {
  const SystemTime started{2026, 12, 2, 1, 7, 20, 31, 45};
  EXPECT_EQ(FormatLocalIsoTime(started, kCentralEurope), "2026-12-01T07:20:31.045+01:00");
  EXPECT_EQ(FormatLocalIsoTime(started, FakeClock(0)), "2026-12-01T07:20:31.045+00:00");
  EXPECT_EQ(FormatLocalIsoTime(started, FakeClock(-330)), "2026-12-01T07:20:31.045-05:30");
  EXPECT_EQ(FormatLocalIsoTime(SystemTime{}, kCentralEurope), std::nullopt);
  const FileTime utc = *SystemTimeToFileTime({2026, 12, 0, 1, 23, 30, 0, 0});
  EXPECT_EQ(FormatUtcIsoTime(utc, kCentralEurope), "2026-12-02T00:30:00.000+01:00");
  EXPECT_EQ(FormatUtcIsoTime(FileTime{0}, FakeClock(-60)), std::nullopt);
}

TEST(HarTime, ReadsTheFormsToolsWrite) {
  const SystemTime local{2026, 12, 2, 1, 7, 20, 31, 45};
  for (const char* text : {"2026-12-01T07:20:31.045+01:00", "2026-12-01T06:20:31.045Z",
                           "2026-12-01t06:20:31.045999z", "2026-12-01T01:50:31.045-0430",
                           "2026-12-01 07:20:31.045", "2026-12-01T08:20:31.0450+02:00"}) {
    EXPECT_EQ(ParseIsoTimeAsLocal(text, kCentralEurope), local) << text;
  }
  EXPECT_EQ(ParseIsoTimeAsLocal("2026-12-01T06:20:31Z", kCentralEurope),
            (SystemTime{2026, 12, 2, 1, 7, 20, 31, 0}));
  EXPECT_EQ(ParseIsoTimeAsLocal("2026-12-01T06:20:31.5Z", kCentralEurope),
            (SystemTime{2026, 12, 2, 1, 7, 20, 31, 500}));
  EXPECT_EQ(ParseIsoTimeAsUtc("2026-12-01T07:20:31.045+01:00", kCentralEurope),
            ParseIsoTimeAsUtc("2026-12-01T07:20:31.045", kCentralEurope));
  for (const char* text : {"", "yesterday", "2026-12-01", "2026-13-01T00:00:00Z",
                           "2026-02-29T00:00:00Z", "2026-12-01T24:00:00Z", "2026-12-01T00:00:00.Z",
                           "2026-12-01T00:00:00+1", "2026-12-01T00:00:00Z junk",
                           "1600-12-31T23:00:00Z", "+2026-12-01T00:00:00Z"}) {
    EXPECT_EQ(ParseIsoTimeAsLocal(text, kCentralEurope), std::nullopt) << text;
  }
}

TEST(HarResult, TravelsAsStatusErrorAndCacheFlag) {
  const std::tuple<std::u16string, int, int, std::u16string, bool> cases[] = {
      // result, status-line code, HAR status, _error, _fromCache
      {u"200", 200, 200, u"", false},
      {u"304", 200, 304, u"", false},
      {u"(Cache)", 0, 200, u"", true},
      {u"(Cache)", 203, 203, u"", true},
      {u"12029", 0, 0, u"ERROR_INTERNET_CANNOT_CONNECT", false},
      {u"12035", 0, 0, u"undefined", false},
      {u"(Aborted)", 0, 0, u"(Aborted)", false},
      {u"", 0, 0, u"", false},
  };
  for (const auto& [result, lineCode, status, error, fromCache] : cases) {
    const HarStatus written = HarStatusOf(result, lineCode);
    EXPECT_EQ(written.status, status);
    EXPECT_EQ(written.error, error);
    EXPECT_EQ(written.fromCache, fromCache);
    EXPECT_EQ(ResultOfHarStatus(status, error, fromCache), result);
  }
  // Errors that name none of ours, and numbers that are neither status nor error.
  EXPECT_EQ(ResultOfHarStatus(0, u"net::ERR_CONNECTION_REFUSED", false), u"(Aborted)");
  EXPECT_EQ(HarStatusOf(u"12000", 0).error, u"12000");
  EXPECT_EQ(HarStatusOf(u"12057", 0).error, u"12057");
  EXPECT_EQ(HarStatusOf(u" 200", 0).status, 0);
}

// ---- export -------------------------------------------------------------------

constexpr std::string_view kLogStart =
    R"({"log":{"version":"1.2","creator":{"name":"Tracewell","version":"1.0.0.0"},"pages":[)";

TEST(HarExport, EmptySessionHasNoPageAndNoEntry) {
  const std::string expected = std::string(kLogStart) + "],\"entries\":[\n]}}\n";
  EXPECT_EQ(Har({}), expected);
  TransactionArray cleared;
  cleared.push_back(std::make_unique<CHttpTransaction>());
  cleared.back()->m_bCleared = 1;
  EXPECT_EQ(Har(cleared), expected);
  EXPECT_TRUE(Json::accept(expected));
}

TEST(HarExport, RedirectedPostByteForByte) {
  const std::string har = Har(testing::MakeHarSampleSession());
  const std::string page =
      R"({"startedDateTime":"2026-12-01T07:20:31.045+01:00","id":"page_1",)"
      R"("title":"http://127.0.0.1:8080/login?next=%2Fhome&lang=fr",)"
      R"("pageTimings":{"onContentLoad":-1,"onLoad":-1}}],"entries":[)";
  const std::string post =
      R"({"pageref":"page_1","startedDateTime":"2026-12-01T07:20:31.045+01:00","time":250,)"
      R"("request":{"method":"POST","url":"http://127.0.0.1:8080/login?next=%2Fhome&lang=fr",)"
      R"("httpVersion":"HTTP/1.1","cookies":[{"name":"sid","value":"abc123"},{"name":"theme","value":"dark"}],)"
      R"("headers":[{"name":"Host","value":"127.0.0.1:8080"},)"
      R"({"name":"Content-Type","value":"application/x-www-form-urlencoded"},)"
      R"({"name":"Cookie","value":"sid=abc123; theme=dark"},)"
      R"({"name":"Authorization","value":"Basic dXNlcjpwYXNz"}],)"
      R"("queryString":[{"name":"next","value":"%2Fhome"},{"name":"lang","value":"fr"}],)"
      R"("postData":{"mimeType":"application/x-www-form-urlencoded","text":"user=Ren)" "\xC3\xA9" R"(e&pass=s3cr=t",)"
      R"("params":[{"name":"user","value":"Ren)" "\xC3\xA9" R"(e"},{"name":"pass","value":"s3cr=t"}]},)"
      R"("headersSize":183,"bodySize":22},)"
      R"("response":{"status":302,"statusText":"Found","httpVersion":"HTTP/1.1",)"
      R"("cookies":[{"name":"sid","value":"def456","path":"/","domain":"127.0.0.1",)"
      R"("expires":"2027-01-01T01:00:00.000+01:00"}],)"
      R"("headers":[{"name":"Location","value":"/home"},)"
      R"({"name":"Set-Cookie","value":"sid=def456; expires=Fri, 01-Jan-2027 00:00:00 GMT; path=/; domain=127.0.0.1; HttpOnly"},)"
      R"({"name":"Content-Length","value":"0"}],)"
      R"("content":{"size":0,"mimeType":"text/html"},"redirectURL":"http://127.0.0.1:8080/home",)"
      R"("headersSize":-1,"bodySize":0},)"
      R"("cache":{},"timings":{"blocked":-1,"dns":-1,"connect":-1,"send":0,"wait":250,"receive":0,"ssl":-1},)"
      R"("serverIPAddress":"127.0.0.1"},)";
  EXPECT_EQ(har.substr(0, kLogStart.size() + page.size() + 1 + post.size() + 1),
            std::string(kLogStart) + page + "\n" + post + "\n");
}

TEST(HarExport, CacheErrorsAndUnfinishedRequests) {
  const Json log = Json::parse(Har(testing::MakeHarSampleSession()))["log"];
  const Json& entries = log["entries"];
  ASSERT_EQ(entries.size(), 7u);  // the cleared record is left out
  std::vector<std::string> urls;
  for (const auto& entry : entries) urls.push_back(entry["request"]["url"]);
  EXPECT_EQ(urls[5], "http://127.0.0.1:8080/slow?q=%C3%BCber");

  const Json& home = entries[1];
  EXPECT_EQ(home["cache"], Json::parse(R"({"afterRequest":{"expires":"2026-12-01T07:21:31.000+01:00",
      "lastAccess":"2026-12-01T07:20:31.000+01:00","eTag":"\"h1\"","hitCount":0,
      "_sourceUrlName":"http://127.0.0.1:8080/home","_localFileName":"","_cacheEntryType":0,"_useCount":0,
      "_sizeLow":0,"_lastModifiedTime":0,"_expireTime":134405796910000000,"_lastAccessTime":134405796310000000,
      "_lastSyncTime":0,"_headerInfo":"HTTP/1.1 200 OK\r\nETag: \"h1\"\r\n","_fileExtension":"","_exemptDelta":0}})"));

  const Json& style = entries[2];
  EXPECT_EQ(style["_fromCache"], "disk");
  EXPECT_EQ(style["time"], 0);
  EXPECT_EQ(style["request"]["headers"], Json::array());
  EXPECT_EQ(style["request"]["headersSize"], -1);
  EXPECT_EQ(style["response"]["status"], 200);
  EXPECT_EQ(style["response"]["content"], Json::parse(R"({"size":2048,"mimeType":"text/css"})"));
  const std::string styleRest = R"("_sourceUrlName":"http://127.0.0.1:8080/style.css","_localFileName":"",
      "_cacheEntryType":0,"_useCount":0,"_sizeLow":0,"_lastModifiedTime":0,"_expireTime":134406396000000000,
      "_lastSyncTime":0,"_headerInfo":"HTTP/1.1 200 OK\r\nContent-Type: text/css\r\nETag: \"c55\"\r\n",
      "_fileExtension":"","_exemptDelta":0)";
  EXPECT_EQ(style["cache"], Json::parse(R"({
      "beforeRequest":{"expires":"2026-12-02T00:00:00.000+01:00","lastAccess":"2026-12-01T06:00:00.000+01:00",
                       "eTag":"\"c55\"","hitCount":3,"_lastAccessTime":134405748000000000,)" + styleRest + R"(},
      "afterRequest":{"expires":"2026-12-02T00:00:00.000+01:00","lastAccess":"2026-12-01T07:20:31.000+01:00",
                      "eTag":"\"c55\"","hitCount":4,"_lastAccessTime":134405796310000000,)" + styleRest + "}}"));

  const Json& logo = entries[3];
  EXPECT_EQ(logo["response"]["status"], 304);
  EXPECT_EQ(logo["response"]["statusText"], "Not Modified");
  EXPECT_EQ(logo["time"], 12);

  const Json& refused = entries[4];
  EXPECT_EQ(refused["response"], Json::parse(R"({"status":0,"statusText":"","httpVersion":"",
      "cookies":[],"headers":[],"content":{"size":0,"mimeType":""},"redirectURL":"",
      "headersSize":-1,"bodySize":0,"_error":"ERROR_INTERNET_CANNOT_CONNECT"})"));
  EXPECT_FALSE(refused.contains("serverIPAddress"));

  const Json& aborted = entries[5];
  EXPECT_EQ(aborted["response"]["status"], 0);
  EXPECT_EQ(aborted["response"]["_error"], "(Aborted)");
  EXPECT_EQ(aborted["response"]["content"]["size"], 0);  // whatever part of the body had come
  EXPECT_EQ(aborted["time"], 2500);
  EXPECT_EQ(aborted["timings"]["wait"], 2500);
  EXPECT_EQ(aborted["request"]["headers"][2]["value"], "Gr\xC3\xBC\xC3\x9F" "e");

  const Json& upload = entries[6];
  EXPECT_EQ(upload["request"]["method"], "PUT");
  EXPECT_EQ(upload["request"]["postData"]["text"], "Gr\xC3\xBC\xC3\x9F" "e aus K\xC3\xB6ln");
  EXPECT_EQ(upload["request"]["postData"]["params"], Json::array());  // parameters belong to POST
  EXPECT_EQ(upload["request"]["postData"]["mimeType"], "text/plain");
  EXPECT_EQ(upload["response"]["status"], 0);
  EXPECT_FALSE(upload["response"].contains("_error"));
  EXPECT_EQ(upload["time"], 0);
}

TEST(HarExport, SanitizedFileKeepsNamesButNoSecrets) {
  const std::string har = Har(testing::MakeHarSampleSession(), true);
  for (const char* secret : {"abc123", "def456", "dark", "dXNlcjpwYXNz"}) {
    EXPECT_EQ(har.find(secret), std::string::npos) << secret;
  }
  const Json post = Json::parse(har)["log"]["entries"][0];
  EXPECT_EQ(post["request"]["cookies"], Json::parse(R"([{"name":"sid","value":""},{"name":"theme","value":""}])"));
  EXPECT_EQ(post["request"]["headers"][2], Json::parse(R"({"name":"Cookie","value":""})"));
  EXPECT_EQ(post["request"]["headers"][3], Json::parse(R"({"name":"Authorization","value":""})"));
  EXPECT_EQ(post["response"]["headers"][1], Json::parse(R"({"name":"Set-Cookie","value":""})"));
  EXPECT_EQ(post["response"]["cookies"][0]["value"], "");
  EXPECT_EQ(post["response"]["cookies"][0]["path"], "/");
  EXPECT_EQ(post["request"]["postData"]["params"][1]["value"], "s3cr=t");  // bodies stay

  // The headers a cache entry keeps lose the same values.
  TransactionArray cached = testing::MakeHarSampleSession();
  auto withCookie = std::make_shared<CacheEntrySnapshot>(*cached[2]->m_pCacheInfoAfter);
  withCookie->HeaderInfo = u"HTTP/1.1 200 OK\r\nset-cookie : sid=def456\r\nETag: \"c55\"\r\n\r\n";
  cached[2]->m_pCacheInfoAfter = withCookie;
  EXPECT_EQ(Json::parse(Har(cached, true))["log"]["entries"][2]["cache"]["afterRequest"]["_headerInfo"],
            "HTTP/1.1 200 OK\r\nset-cookie :\r\nETag: \"c55\"\r\n\r\n");
}

// ---- import -------------------------------------------------------------------

// What a browser's developer tools write: HTTP/2 pseudo-headers, fractional times in
// UTC, their own error names and cache flags, fields of their own.
constexpr std::string_view kPeerHar = R"({"log":{"version":"1.2",
 "creator":{"name":"WebInspector","version":"537.36"},
 "pages":[{"startedDateTime":"2026-12-01T06:20:31.045Z","id":"page_1","title":"http://127.0.0.1:8080/",
           "pageTimings":{"onContentLoad":120.5,"onLoad":130.25}}],
 "entries":[
  {"_initiator":{"type":"other"},"_priority":"VeryHigh","cache":{},"connection":"1234","pageref":"page_1",
   "request":{"method":"GET","url":"http://127.0.0.1:8080/?q=caf%C3%A9","httpVersion":"HTTP/1.1",
     "headers":[{"name":"Host","value":"127.0.0.1:8080"},{"name":"Accept-Language","value":"fr-FR"}],
     "queryString":[{"name":"q","value":"café"}],"cookies":[],"headersSize":75,"bodySize":0},
   "response":{"status":200,"statusText":"OK","httpVersion":"HTTP/1.1",
     "headers":[{"name":"Content-Type","value":"text/html; charset=utf-8"},{"name":"X-Folded","value":"a\r\n b"}],
     "cookies":[],"content":{"size":1234,"mimeType":"text/html","compression":0},"redirectURL":"",
     "headersSize":120,"bodySize":1000,"_transferSize":1120,"_error":null},
   "serverIPAddress":"127.0.0.1","startedDateTime":"2026-12-01T06:20:31.045Z","time":12.345,
   "timings":{"blocked":1.5,"dns":-1,"ssl":-1,"connect":-1,"send":0.1,"wait":10,"receive":0.745}},
  {"request":{"method":"DELETE","url":"https://127.0.0.1:8443/item/7#top","httpVersion":"http/2.0",
     "headers":[{"name":":method","value":"DELETE"},{"name":":path","value":"/item/7"},{"name":"accept","value":"*/*"}],
     "queryString":[],"cookies":[],"headersSize":-1,"bodySize":0},
   "response":{"status":204,"statusText":"","httpVersion":"http/2.0","headers":[{"name":":status","value":"204"}],
     "cookies":[],"content":{"size":0,"mimeType":"x-unknown"},"redirectURL":"","headersSize":-1,"bodySize":-1},
   "cache":{},"timings":{"send":0,"wait":5,"receive":0},"startedDateTime":"2026-12-01T06:20:31.100Z","time":5},
  {"request":{"method":"POST","url":"http://127.0.0.1:9/form","httpVersion":"","headers":[],"queryString":[],
     "cookies":[],"headersSize":-1,"bodySize":6,
     "postData":{"mimeType":"application/x-www-form-urlencoded","params":[{"name":"a","value":"1"},{"name":"b"}]}},
   "response":{"status":0,"statusText":"","httpVersion":"","headers":[],"cookies":[],
     "content":{"size":0,"mimeType":"x-unknown"},"redirectURL":"","headersSize":-1,"bodySize":-1,
     "_error":"net::ERR_CONNECTION_REFUSED"},
   "cache":{},"timings":{"send":0,"wait":3,"receive":0},"startedDateTime":"2026-12-01T07:20:32+01:00","time":3},
  {"_fromCache":"memory","request":{"method":"GET","url":"http://127.0.0.1:8080/style.css","httpVersion":"",
     "headers":[],"queryString":[],"cookies":[],"headersSize":-1,"bodySize":0},
   "response":{"status":200,"statusText":"OK","httpVersion":"HTTP/1.1",
     "headers":[{"name":"Content-Type","value":"text/css"}],"cookies":[],
     "content":{"size":2048,"mimeType":"text/css"},"redirectURL":"","headersSize":-1,"bodySize":0},
   "cache":{"beforeRequest":{"lastAccess":"2026-12-01T06:00:00Z","eTag":"\"c55\"","hitCount":3,
                             "expires":"2026-12-02T00:00:00.000Z"},"afterRequest":null},
   "timings":{"send":0,"wait":0,"receive":0},"startedDateTime":"2026-12-01T06:20:33.000Z","time":0},
  {"_error":"ERROR_INTERNET_NAME_NOT_RESOLVED",
   "request":{"method":"GET","url":"http://unknown.invalid/","httpVersion":"HTTP/1.1","headers":[]},
   "response":{"status":0},"startedDateTime":"2026-12-01T06:20:34Z"}
 ]}})";

TEST(HarImport, PeerFileBecomesRecords) {
  const HarLoadResult loaded = Load(kPeerHar);
  ASSERT_FALSE(loaded.error) << loaded.error->message;
  ASSERT_EQ(loaded.records.size(), 5u);

  const CHttpTransaction& page = *loaded.records[0];
  EXPECT_EQ(page.m_strMethod, u"GET");
  EXPECT_EQ(page.m_strUrl, u"http://127.0.0.1:8080/?q=caf%C3%A9");
  EXPECT_EQ(page.m_strRequestHeaders,
            u"GET /?q=caf%C3%A9 HTTP/1.1\r\nHost: 127.0.0.1:8080\r\nAccept-Language: fr-FR\r\n");
  EXPECT_EQ(page.m_strResponseHeaders,
            u"HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nX-Folded: a   b\r\n");
  EXPECT_EQ(page.m_strResult, u"200");
  EXPECT_EQ(page.m_strMimeType, u"text/html");
  EXPECT_EQ(page.m_nSent, 75);
  EXPECT_EQ(page.m_nSize, 1234);
  EXPECT_EQ(page.m_strIpAddress, u"127.0.0.1");
  EXPECT_EQ(page.m_stStarted, (SystemTime{2026, 12, 2, 1, 7, 20, 31, 45}));
  EXPECT_EQ(page.m_stEnded, (SystemTime{2026, 12, 2, 1, 7, 20, 31, 57}));
  EXPECT_FALSE(page.m_pCacheInfoBefore || page.m_pCacheInfoAfter);

  const CHttpTransaction& removal = *loaded.records[1];
  EXPECT_EQ(removal.m_strMethod, u"");  // records name only GET, POST and PUT
  EXPECT_EQ(removal.m_strRequestHeaders, u"DELETE /item/7 http/2.0\r\naccept: */*\r\n");
  EXPECT_EQ(removal.m_strResponseHeaders, u"http/2.0 204\r\n");
  EXPECT_EQ(removal.m_strResult, u"204");
  EXPECT_EQ(removal.m_nSent, 40);  // rebuilt block + 2, as the size was not known

  const CHttpTransaction& refused = *loaded.records[2];
  EXPECT_EQ(refused.m_strMethod, u"POST");
  EXPECT_EQ(refused.m_strRequestHeaders, u"");
  EXPECT_EQ(refused.m_strPostData, u"a=1&b=");
  EXPECT_EQ(refused.m_nSent, 6);
  EXPECT_EQ(refused.m_strResponseHeaders, u"");
  EXPECT_EQ(refused.m_strResult, u"(Aborted)");
  EXPECT_EQ(refused.m_stStarted, (SystemTime{2026, 12, 2, 1, 7, 20, 32, 0}));
  EXPECT_EQ(refused.m_stEnded, (SystemTime{2026, 12, 2, 1, 7, 20, 32, 3}));

  const CHttpTransaction& cached = *loaded.records[3];
  EXPECT_EQ(cached.m_strResult, u"(Cache)");
  EXPECT_EQ(cached.m_strResponseHeaders, u"HTTP/1.1 200 OK\r\nContent-Type: text/css\r\n");
  EXPECT_EQ(cached.m_nSent, 0);
  EXPECT_EQ(cached.m_nSize, 2048);
  ASSERT_TRUE(cached.m_pCacheInfoBefore);
  EXPECT_FALSE(cached.m_pCacheInfoAfter);
  CacheEntrySnapshot before;
  before.SourceUrlName = u"http://127.0.0.1:8080/style.css";
  before.HitRate = 3;
  before.LastAccessTime = *SystemTimeToFileTime({2026, 12, 0, 1, 6, 0, 0, 0});
  before.ExpireTime = *SystemTimeToFileTime({2026, 12, 0, 2, 0, 0, 0, 0});
  before.HeaderInfo = u"ETag: \"c55\"\r\n";
  EXPECT_EQ(*cached.m_pCacheInfoBefore, before);

  const CHttpTransaction& unresolved = *loaded.records[4];
  EXPECT_EQ(unresolved.m_strResult, u"12007");
  EXPECT_EQ(unresolved.m_strRequestHeaders, u"GET / HTTP/1.1\r\n");
  EXPECT_EQ(unresolved.m_stEnded, SystemTime{});  // no time given: not known to have ended
}

TEST(HarImport, OwnExportRoundTrips) {
  const TransactionArray original = testing::MakeHarSampleSession();
  const std::string first = Har(original);
  const HarLoadResult loaded = Load(first);
  ASSERT_FALSE(loaded.error) << loaded.error->message;
  EXPECT_EQ(Har(loaded.records), first);

  ASSERT_EQ(loaded.records.size(), 7u);
  const std::size_t kept[] = {0, 1, 2, 3, 4, 6, 7};  // the cleared record was not written
  for (std::size_t i = 0; i < loaded.records.size(); ++i) {
    CHttpTransaction expected;
    const CHttpTransaction& source = *original[kept[i]];
    for (std::size_t field = 0; field < TextFields(expected).size(); ++field) {
      *TextFields(expected)[field] = *TextFields(source)[field];
    }
    expected.m_nSent = source.m_nSent;
    expected.m_nSize = source.m_nSize;
    expected.m_stStarted = source.m_stStarted;
    expected.m_stEnded = source.m_stEnded;
    if (source.m_strResult == u"(Aborted)") expected.m_nSize = 0;  // a failed body counts nothing
    if (source.m_stEnded == SystemTime{}) expected.m_stEnded = source.m_stStarted;
    EXPECT_TRUE(testing::StoredFieldsEqual(*loaded.records[i], expected)) << "record " << i;
  }
  EXPECT_EQ(loaded.records[2]->m_pCacheInfoAfter->HitRate, 4u);

  // Blocks that are not in the rebuilt form (spaces, empty lines, a 304 whose status
  // line says 200) are written the same way again after a round trip.
  TransactionArray loose;
  loose.push_back(std::make_unique<CHttpTransaction>());
  loose[0]->m_strResult = u"304";
  loose[0]->m_strRequestHeaders = u"\r\nGET  /x  HTTP/1.0\r\n\r\nHost:   h  \r\nbroken\r\n\r\n";
  loose[0]->m_strResponseHeaders = u"HTTP/1.1 200 OK\r\n: no name\r\nETag:\r\n\r\n";
  loose[0]->m_nSent = 3;
  loose[0]->m_stStarted = {2026, 12, 2, 1, 7, 20, 31, 45};
  const std::string looseHar = Har(loose);
  EXPECT_EQ(Har(Load(looseHar).records), looseHar);
  EXPECT_EQ(loaded.records[2]->m_pCacheInfoAfter->LastAccessTime,
            original[2]->m_pCacheInfoAfter->LastAccessTime);
}

// A snapshot with every field set, times finer than HAR's milliseconds.
std::unique_ptr<CacheEntrySnapshot> FullSnapshot(std::uint32_t n) {
  auto snapshot = std::make_unique<CacheEntrySnapshot>();
  *snapshot = {u"http://127.0.0.1:8080/logo.png?v=" + FormatText("%u", n), u"/store/entry-" + FormatText("%u", n),
               1,   n + 2,  n + 3, 40000 + n, FileTime{134405796310001234U + n}, FileTime{134405796910000007},
               FileTime{134405796310000001}, FileTime{134405796300000009},
               u"HTTP/1.1 200 OK\r\nContent-Type: image/png\r\n\r\n", u"png", 600 + n};
  return snapshot;
}

TEST(HarImport, SnapshotsAndBodiesRoundTripWhole) {
  TransactionArray records;
  for (std::uint32_t i = 0; i < 3; ++i) {
    auto record = std::make_unique<CHttpTransaction>();
    record->m_strMethod = u"GET";
    record->m_strUrl = u"http://127.0.0.1:8080/" + FormatText("%u", i);
    record->m_strResult = u"200";
    record->m_strResponseHeaders = u"HTTP/1.1 200 OK\r\n";
    record->m_stStarted = {2026, 12, 2, 1, 7, 20, 31, 45};
    record->m_pCacheInfoBefore = FullSnapshot(i);
    record->m_pCacheInfoAfter = FullSnapshot(i + 10);
    records.push_back(std::move(record));
  }
  records[0]->m_pResponseBody = std::make_unique<std::string>("\x89PNG\r\n\x1A\n\x00\xFF", 10);
  records[1]->m_pResponseBody = std::make_unique<std::string>("Gr\xC3\xBC\xC3\x9F" "e");
  records[1]->m_nSize = 4;  // as a content coding would have sent it

  const std::string har = Har(records);
  const Json entries = Json::parse(har)["log"]["entries"];
  // The content's size is the body's, and its compression what was not received of it.
  EXPECT_EQ(entries[0]["response"]["content"],
            Json::parse(R"({"size":10,"compression":10,"mimeType":"","text":"iVBORw0KGgoA/w==","encoding":"base64"})"));
  EXPECT_EQ(entries[1]["response"]["content"],
            Json::parse("{\"size\":7,\"compression\":3,\"mimeType\":\"\",\"text\":\"Gr\xC3\xBC\xC3\x9F" "e\"}"));
  EXPECT_EQ(entries[2]["response"]["content"], Json::parse(R"({"size":0,"mimeType":""})"));
  EXPECT_EQ(entries[0]["cache"]["beforeRequest"], Json::parse(R"({
      "expires":"2026-12-01T07:21:31.000+01:00","lastAccess":"2026-12-01T07:20:31.000+01:00","eTag":"",
      "hitCount":3,"_sourceUrlName":"http://127.0.0.1:8080/logo.png?v=0","_localFileName":"/store/entry-0",
      "_cacheEntryType":1,"_useCount":2,"_sizeLow":40000,"_lastModifiedTime":134405796310001234,
      "_expireTime":134405796910000007,"_lastAccessTime":134405796310000001,"_lastSyncTime":134405796300000009,
      "_headerInfo":"HTTP/1.1 200 OK\r\nContent-Type: image/png\r\n\r\n","_fileExtension":"png",
      "_exemptDelta":600})"));

  const HarLoadResult loaded = Load(har);
  ASSERT_FALSE(loaded.error) << loaded.error->message;
  ASSERT_EQ(loaded.records.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(*loaded.records[i]->m_pCacheInfoBefore, *records[i]->m_pCacheInfoBefore) << i;
    EXPECT_EQ(*loaded.records[i]->m_pCacheInfoAfter, *records[i]->m_pCacheInfoAfter) << i;
  }
  EXPECT_EQ(*loaded.records[0]->m_pResponseBody, *records[0]->m_pResponseBody);
  EXPECT_EQ(*loaded.records[1]->m_pResponseBody, *records[1]->m_pResponseBody);
  EXPECT_EQ(loaded.records[2]->m_pResponseBody, nullptr);
  EXPECT_EQ(Har(loaded.records), har);
}

// Gives "stored <url>" for every record, as a store that kept them all would.
class FakeStoredBodies final : public IStoredBodies {
 public:
  std::optional<std::string> DecodedResponseBody(const CHttpTransaction& record) override {
    return "stored " + ToUtf8(record.m_strUrl);
  }
};

TEST(HarExport, BodiesComeFromTheRecordThenTheStoresUnlessLeftOut) {
  TransactionArray records;
  for (const char16_t* url : {u"http://127.0.0.1/a", u"http://127.0.0.1/b"}) {
    records.push_back(std::make_unique<CHttpTransaction>());
    records.back()->m_strUrl = url;
  }
  records[0]->m_pResponseBody = std::make_unique<std::string>("carried");
  FakeStoredBodies stores;
  auto texts = [&](const HarExportOptions& options) {
    StringByteSink sink;
    WriteHarExport(records, kCentralEurope, options, sink);
    std::vector<Json> found;
    const Json har = Json::parse(sink.data());
    for (const Json& entry : har["log"]["entries"]) {
      found.push_back(entry["response"]["content"].value("text", Json()));
    }
    return found;
  };
  EXPECT_EQ(texts({}), (std::vector<Json>{"carried", nullptr}));
  EXPECT_EQ(texts({.storedBodies = &stores}), (std::vector<Json>{"carried", "stored http://127.0.0.1/b"}));
  EXPECT_EQ(texts({.bodies = false, .storedBodies = &stores}), (std::vector<Json>{nullptr, nullptr}));
}

TEST(HarImport, FieldNamesAndVersionsLoseTheWhiteSpaceAroundThem) {
  // A name that starts with a space would turn its line into the continuation of the
  // one above, and a version that ends in one would leave the request line without
  // its last word: the file would come out different each time it is written.
  const std::string har = R"({"log":{"version":"1.2","creator":{"name":"x","version":"1"},"entries":[
    {"startedDateTime":"2026-12-01T06:20:31.100Z","time":5,"timings":{"send":0,"wait":5,"receive":0},
     "cache":{},"request":{"method":"GET","url":"http://h/","httpVersion":" HTTP/1.1  ",
       "headers":[{"name":" Accept\t","value":"*/*"}],"queryString":[],"cookies":[],
       "headersSize":-1,"bodySize":0},
     "response":{"status":204,"statusText":"","httpVersion":"http/2.0",
       "headers":[{"name":" :status","value":"204"}],"cookies":[],
       "content":{"size":0,"mimeType":"x-unknown"},"redirectURL":"","headersSize":-1,"bodySize":-1}}]}})";
  const HarLoadResult loaded = Load(har);
  ASSERT_FALSE(loaded.error) << loaded.error->message;
  EXPECT_EQ(loaded.records.at(0)->m_strRequestHeaders, u"GET / HTTP/1.1\r\nAccept: */*\r\n");
  EXPECT_EQ(loaded.records.at(0)->m_strResponseHeaders, u"http/2.0 204\r\n");  // a pseudo-header
  const std::string written = Har(loaded.records);
  EXPECT_EQ(Har(Load(written).records), written);
}

TEST(HarImport, TunnelsKeepTheirMethodAndHostPort) {
  auto tunnel = [](std::u16string authority, std::u16string result) {
    auto record = std::make_unique<CHttpTransaction>();
    record->m_strMethod = u"CONNECT";
    record->m_strUrl = std::move(authority);
    record->m_strResult = std::move(result);
    record->m_stStarted = {2026, 12, 2, 1, 7, 20, 31, 45};
    record->m_stEnded = {2026, 12, 2, 1, 7, 20, 32, 0};
    return record;
  };
  TransactionArray tunnels;
  tunnels.push_back(tunnel(u"127.0.0.1:9", u"12029"));  // refused: nothing was sent
  tunnels.push_back(tunnel(u"localhost:8443", u"200"));
  tunnels[1]->m_strRequestHeaders = u"CONNECT localhost:8443 HTTP/1.1\r\nHost: localhost:8443\r\n";
  tunnels[1]->m_strResponseHeaders = u"HTTP/1.1 200 Connection Established\r\n";
  tunnels[1]->m_nSent = 61;
  tunnels[1]->m_nSize = 5000;
  tunnels[1]->m_strIpAddress = u"127.0.0.1";
  tunnels.push_back(tunnel(u"[::1]:443", u"(Aborted)"));

  const std::string first = Har(tunnels);
  const Json entries = Json::parse(first)["log"]["entries"];
  EXPECT_EQ(entries[0]["request"]["method"], "CONNECT");
  EXPECT_EQ(entries[0]["request"]["url"], "https://127.0.0.1:9/");  // HAR wants a URL
  EXPECT_EQ(entries[2]["request"]["url"], "https://[::1]:443/");

  const HarLoadResult loaded = Load(first);
  ASSERT_FALSE(loaded.error) << loaded.error->message;
  ASSERT_EQ(loaded.records.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_TRUE(testing::StoredFieldsEqual(*loaded.records[i], *tunnels[i])) << "record " << i;
  }
  EXPECT_EQ(Har(loaded.records), first);

  // Files that give the tunnel as host:port read the same; other URLs stay as they are.
  const std::string entry =
      R"({"startedDateTime":"2026-12-01T06:20:31Z","request":{"method":"CONNECT","url":"URL"},)"
      R"("response":{"status":0}})";
  for (const auto& [url, kept] : {std::pair{"h:1", u"h:1"}, std::pair{"https://h:1/", u"h:1"},
                                   std::pair{"https://h:1/x", u"https://h:1/x"},
                                   std::pair{"https://h/", u"https://h/"}}) {
    std::string text = entry;
    text.replace(text.find("URL"), 3, url);
    const HarLoadResult one = Load(R"({"log":{"entries":[)" + text + "]}}");
    ASSERT_EQ(one.records.size(), 1u) << url;
    EXPECT_EQ(one.records[0]->m_strMethod, u"CONNECT");
    EXPECT_EQ(one.records[0]->m_strUrl, kept) << url;
  }
}

TEST(HarImport, MalformedFilesAreRefusedSayingWhere) {
  const std::string entry =
      R"({"startedDateTime":"2026-12-01T06:20:31Z","request":{"method":"GET","url":"http://h/"},)"
      R"("response":{"status":200}})";
  auto with = [&](const std::string& from, const std::string& to) {
    std::string text = entry;
    text.replace(text.find(from), from.size(), to);
    return R"({"log":{"entries":[)" + entry + "," + text + "]}}";
  };
  const std::pair<std::string, std::string> cases[] = {
      {"", "not valid JSON: parse error at line 1, column 1: unexpected end of input; expected a value"},
      {R"({"log":{"entries":[)",
       "not valid JSON: parse error at line 1, column 20: unexpected end of input; expected a value"},
      {R"({"log":{"entries":[]}} x)",
       "not valid JSON: parse error at line 1, column 24: unexpected character after the JSON value"},
      {"{\"log\":{\"entries\":[],\"x\":\"\xFF\"}}",
       "not valid JSON: parse error at line 1, column 27: ill-formed UTF-8 byte in a string"},
      {R"({"log":{"entries":[],"x":1e400}})", "not valid JSON: parse error at line 1, column 26: number overflow parsing '1e400'"},
      {"[]", "not a HAR file: the top level is not a JSON object"},
      {"{}", "not a HAR file: there is no log object"},
      {R"({"log":[]})", "log: expected an object"},
      {R"({"log":{"version":"1.2"}})", "log.entries is missing"},
      {R"({"log":{"entries":{}}})", "log.entries: expected an array"},
      {R"({"log":{"entries":[)" + entry + ",7]}}", "log.entries[1]: expected an object"},
      {with(R"(,"response":{"status":200})", ""), "log.entries[1].response is missing"},
      {with(R"("url":"http://h/")", R"("url":7)"), "log.entries[1].request.url: expected a string"},
      {with(R"("status":200)", R"("status":1000)"),
       "log.entries[1].response.status: 1000 is not an HTTP status code"},
      {with(R"("status":200)", R"("status":20.5)"),
       "log.entries[1].response.status: 20.5 is not an HTTP status code"},
      {with("2026-12-01T06:20:31Z", "yesterday"),
       R"(log.entries[1].startedDateTime: "yesterday" is not an ISO 8601 date and time)"},
      {with(R"("url":"http://h/")", R"("url":"http://h/","headers":[{"name":"a"}])"),
       "log.entries[1].request.headers[0].value is missing"},
      {with(R"("status":200)", R"("status":200,"content":[])"),
       "log.entries[1].response.content: expected an object"},
      {with(R"({"startedDateTime")", R"({"cache":{"afterRequest":{"lastAccess":"soon"}},"startedDateTime")"),
       R"(log.entries[1].cache.afterRequest.lastAccess: "soon" is not an ISO 8601 date and time)"},
      {with(R"("status":200)", R"("status":200,"content":{"text":"eA==","encoding":"gzip"})"),
       R"(log.entries[1].response.content.encoding: "gzip" is not an encoding of HAR)"},
      {with(R"("status":200)", R"("status":200,"content":{"text":"e","encoding":"base64"})"),
       "log.entries[1].response.content.text: not base64"},
      {with(R"({"startedDateTime")", R"({"cache":{"beforeRequest":{"_useCount":-1}},"startedDateTime")"),
       "log.entries[1].cache.beforeRequest._useCount: expected an unsigned integer"},
      {with(R"({"startedDateTime")", R"({"cache":{"beforeRequest":{"_sizeLow":4294967296}},"startedDateTime")"),
       "log.entries[1].cache.beforeRequest._sizeLow: 4294967296 is too large"},
  };
  for (const auto& [text, message] : cases) {
    const HarLoadResult loaded = Load(text);
    ASSERT_TRUE(loaded.error) << text;
    EXPECT_EQ(loaded.error->message, message) << text;
    EXPECT_TRUE(loaded.records.empty()) << text;
  }
  // Fields this program does not read are not checked, and null counts as absent.
  std::string unread = entry;
  unread.replace(unread.find("\"url\""), 0, R"("cookies":5,"headers":null,)");
  EXPECT_FALSE(Load(R"({"log":{"version":7,"pages":"none","entries":[)" + unread + "]}}").error);
}

TEST(HarImport, ARepeatedNameMeansItsLastValueAmongNestedSiblings) {
  // Members after deeply nested ones are still found, and a name given twice counts
  // only as its last value, null included.
  const std::string entry =
      R"({"startedDateTime":"2026-12-01T06:20:31Z","request":{"method":"POST","url":"http://a/",)"
      R"("url":"http://h/x","headers":[{"name":"A","_x":{"deep":[1,[2,{"k":3}],{}]},"value":"1"},)"
      R"({"name":"B","value":"2"}],"postData":{"params":[{"name":"p","value":"q"}]}},)"
      R"("response":{"status":404,"status":200},"serverIPAddress":"1.2.3.4","serverIPAddress":null})";
  const HarLoadResult loaded = Load(R"({"log":{"entries":[)" + entry + "," + entry + "]}}");
  ASSERT_FALSE(loaded.error) << loaded.error->message;
  ASSERT_EQ(loaded.records.size(), 2u);
  for (const auto& record : loaded.records) {
    EXPECT_EQ(ToUtf8(record->m_strUrl), "http://h/x");
    EXPECT_EQ(ToUtf8(record->m_strRequestHeaders), "POST /x HTTP/1.1\r\nA: 1\r\nB: 2\r\n");
    EXPECT_EQ(ToUtf8(record->m_strPostData), "p=q");
    EXPECT_EQ(ToUtf8(record->m_strResult), "200");
    EXPECT_EQ(record->m_strIpAddress, u"");
  }
}

TEST(HarImport, AnEntryHoldsAtMostAMillionJsonValues) {
  // A file whose second of three entries holds `values` JSON values: the entry, its
  // six members and theirs, and an array of zeros that makes up the rest.
  auto file = [](std::size_t values) {
    const std::string entry =
        R"({"startedDateTime":"2026-12-01T06:20:31Z","request":{"method":"GET","url":"http://h/"},)"
        R"("response":{"status":200})";
    std::string zeros;
    for (std::size_t i = 8; i < values; ++i) zeros += i == 8 ? "0" : ",0";
    return R"({"log":{"entries":[)" + entry + "}," + entry + R"(,"_padding":[)" + zeros + "]}," + entry +
           "}]}}";
  };
  const HarLoadResult largest = Load(file(1'000'000));
  ASSERT_FALSE(largest.error) << largest.error->message;
  EXPECT_EQ(largest.records.size(), 3u);  // the count starts again with each entry

  const HarLoadResult tooLarge = Load(file(1'000'001));
  ASSERT_TRUE(tooLarge.error);
  EXPECT_EQ(tooLarge.error->message, "log.entries[1]: more than 1000000 JSON values in one entry");
  EXPECT_TRUE(tooLarge.records.empty());
}

}  // namespace
}  // namespace tracewell
