#include "support/sample_session.h"

#include <string>
#include <tuple>

namespace tracewell::testing {
namespace {

std::u16string Widen(const std::string& ascii) { return {ascii.begin(), ascii.end()}; }

}  // namespace

std::unique_ptr<CHttpTransaction> MakeRealisticRecord(std::uint32_t index) {
  auto record = std::make_unique<CHttpTransaction>();
  const std::string n = std::to_string(index);
  const bool post = index % 10 == 3;
  const std::string path = "/catalogue/items/" + n + "/details?session=4f9c2a7e81&view=full&lang=en-GB";
  const std::string url = "http://shop.example.test" + path;
  const std::string body = "item=" + n + "&quantity=2&colour=blue&gift=no&note=please+wrap+it+nicely";

  record->m_nSize = static_cast<std::int32_t>(1000 + index % 50000);
  record->m_strResult = index % 17 == 0 ? u"304" : u"200";
  record->m_strMethod = post ? u"POST" : u"GET";
  record->m_strMimeType = index % 3 == 0 ? u"image/png" : u"text/html";
  record->m_strUrl = Widen(url);
  record->m_strRequestHeaders = Widen(
      std::string(post ? "POST " : "GET ") + path + " HTTP/1.1\r\n" +
      "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,image/avif,image/webp,*/*;q=0.8\r\n"
      "Accept-Language: en-GB,en;q=0.9\r\n"
      "Accept-Encoding: gzip, deflate\r\n"
      "User-Agent: Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/156.0 Safari/537.36\r\n"
      "Host: shop.example.test\r\n"
      "Referer: http://shop.example.test/catalogue/index.html?page=" + n + "\r\n"
      "Cookie: session=4f9c2a7e81; basket=" + n + "; consent=granted; theme=dark; tz=Europe%2FLondon\r\n"
      "Connection: keep-alive\r\n"
      "Cache-Control: max-age=0\r\n"
      "Upgrade-Insecure-Requests: 1\r\n" +
      (post ? "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
                  std::to_string(body.size()) + "\r\n"
            : std::string()) +
      "\r\n");
  record->m_strResponseHeaders = Widen(
      "HTTP/1.1 200 OK\r\n"
      "Date: Mon, 07 Dec 2026 20:32:04 GMT\r\n"
      "Server: nginx/1.22.1\r\n"
      "Content-Type: text/html; charset=utf-8\r\n"
      "Content-Length: " + std::to_string(record->m_nSize) + "\r\n"
      "Cache-Control: private, max-age=600\r\n"
      "ETag: \"5f3e-" + n + "\"\r\n"
      "Last-Modified: Sun, 06 Dec 2026 10:00:00 GMT\r\n"
      "Set-Cookie: basket=" + n + "; Path=/; HttpOnly\r\n"
      "Vary: Accept-Encoding\r\n"
      "Connection: keep-alive\r\n"
      "\r\n");
  if (post) record->m_strPostData = Widen(body);
  record->m_strIpAddress = u"127.0.0.1";
  record->m_nSent = static_cast<std::int32_t>(record->m_strRequestHeaders.size() + 2 +
                                              (post ? record->m_strPostData.size() : 0));
  const auto ms = static_cast<std::uint16_t>(index % 1000);
  record->m_stStarted = {2026, 12, 1, 7, 20, 32, static_cast<std::uint16_t>(index / 1000 % 60), ms};
  record->m_stEnded = record->m_stStarted;
  record->m_stEnded.wMilliseconds = static_cast<std::uint16_t>((ms + 120) % 1000);
  if (ms + 120 >= 1000) record->m_stEnded.wSecond = static_cast<std::uint16_t>((record->m_stEnded.wSecond + 1) % 60);
  record->m_bStatusMatch = index % 2 == 0 ? 1 : 0;
  return record;
}

TransactionArray MakeRealisticSession(std::uint32_t count) {
  TransactionArray session;
  session.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) session.push_back(MakeRealisticRecord(i));
  return session;
}

namespace {

std::int32_t SentFor(const CHttpTransaction& record) {
  if (record.m_strRequestHeaders.empty()) return 0;
  const std::size_t post = record.m_strMethod == u"POST" ? record.m_strPostData.size() : 0;
  return static_cast<std::int32_t>(record.m_strRequestHeaders.size() + 2 + post);
}

FileTime Utc(std::uint16_t hour, std::uint16_t minute, std::uint16_t second) {
  return *SystemTimeToFileTime({2026, 12, 0, 1, hour, minute, second, 0});
}

std::unique_ptr<CHttpTransaction> Get(std::u16string url, std::u16string requestHeaders,
                                      std::u16string result, std::u16string responseHeaders) {
  auto record = std::make_unique<CHttpTransaction>();
  record->m_strMethod = u"GET";
  record->m_strUrl = std::move(url);
  record->m_strRequestHeaders = std::move(requestHeaders);
  record->m_strResult = std::move(result);
  record->m_strResponseHeaders = std::move(responseHeaders);
  record->m_strIpAddress = u"127.0.0.1";
  record->m_nSent = SentFor(*record);
  return record;
}

}  // namespace

TransactionArray MakeHarSampleSession() {
  TransactionArray session;
  auto login = std::make_unique<CHttpTransaction>();
  login->m_strMethod = u"POST";
  login->m_strUrl = u"http://127.0.0.1:8080/login?next=%2Fhome&lang=fr";
  login->m_strRequestHeaders =
      u"POST /login?next=%2Fhome&lang=fr HTTP/1.1\r\nHost: 127.0.0.1:8080\r\n"
      u"Content-Type: application/x-www-form-urlencoded\r\nCookie: sid=abc123; theme=dark\r\n"
      u"Authorization: Basic dXNlcjpwYXNz\r\n";
  login->m_strPostData = u"user=Ren\u00E9e&pass=s3cr=t";
  login->m_nSent = SentFor(*login);
  login->m_strResult = u"302";
  login->m_strRedirectUrl = u"http://127.0.0.1:8080/home";
  login->m_strResponseHeaders =
      u"HTTP/1.1 302 Found\r\nLocation: /home\r\n"
      u"Set-Cookie: sid=def456; expires=Fri, 01-Jan-2027 00:00:00 GMT; path=/; domain=127.0.0.1; HttpOnly\r\n"
      u"Content-Length: 0\r\n";
  login->m_strMimeType = u"text/html";
  login->m_strIpAddress = u"127.0.0.1";
  login->m_stStarted = {2026, 12, 2, 1, 7, 20, 31, 45};
  login->m_stEnded = {2026, 12, 2, 1, 7, 20, 31, 295};
  session.push_back(std::move(login));

  auto home = Get(u"http://127.0.0.1:8080/home",
                  u"GET /home HTTP/1.1\r\nHost: 127.0.0.1:8080\r\nCookie: sid=def456\r\n", u"200",
                  u"HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n"
                  u"ETag: \"h1\"\r\nCache-Control: max-age=60\r\n");
  home->m_strMimeType = u"text/html; charset=utf-8";
  home->m_nSize = 5120;
  home->m_stStarted = {2026, 12, 2, 1, 7, 20, 31, 296};
  home->m_stEnded = {2026, 12, 2, 1, 7, 20, 31, 420};
  auto homeAfter = std::make_shared<CacheEntrySnapshot>();
  homeAfter->SourceUrlName = home->m_strUrl;
  homeAfter->LastAccessTime = Utc(6, 20, 31);
  homeAfter->ExpireTime = Utc(6, 21, 31);
  homeAfter->HeaderInfo = u"HTTP/1.1 200 OK\r\nETag: \"h1\"\r\n";
  home->m_pCacheInfoAfter = homeAfter;
  session.push_back(std::move(home));

  auto style = Get(u"http://127.0.0.1:8080/style.css", u"", u"(Cache)", u"");
  style->m_strMimeType = u"text/css";
  style->m_nSize = 2048;
  style->m_stStarted = {2026, 12, 2, 1, 7, 20, 31, 430};
  style->m_stEnded = style->m_stStarted;
  auto styleBefore = std::make_shared<CacheEntrySnapshot>();
  styleBefore->SourceUrlName = style->m_strUrl;
  styleBefore->HitRate = 3;
  styleBefore->LastAccessTime = Utc(5, 0, 0);
  styleBefore->ExpireTime = Utc(23, 0, 0);
  styleBefore->HeaderInfo = u"HTTP/1.1 200 OK\r\nContent-Type: text/css\r\nETag: \"c55\"\r\n";
  auto styleAfter = std::make_shared<CacheEntrySnapshot>(*styleBefore);
  styleAfter->HitRate = 4;
  styleAfter->LastAccessTime = Utc(6, 20, 31);
  style->m_pCacheInfoBefore = styleBefore;
  style->m_pCacheInfoAfter = styleAfter;
  session.push_back(std::move(style));

  auto logo = Get(u"http://127.0.0.1:8080/logo.png",
                  u"GET /logo.png HTTP/1.1\r\nHost: 127.0.0.1:8080\r\nIf-None-Match: \"p9\"\r\n", u"304",
                  u"HTTP/1.1 304 Not Modified\r\nETag: \"p9\"\r\n");
  logo->m_strMimeType = u"image/png";
  logo->m_stStarted = {2026, 12, 2, 1, 7, 20, 31, 440};
  logo->m_stEnded = {2026, 12, 2, 1, 7, 20, 31, 452};
  session.push_back(std::move(logo));

  auto refused = Get(u"http://127.0.0.1:9/unreachable",
                     u"GET /unreachable HTTP/1.1\r\nHost: 127.0.0.1:9\r\n", u"12029", u"");
  refused->m_strIpAddress.clear();
  refused->m_stStarted = {2026, 12, 2, 1, 7, 20, 32, 0};
  refused->m_stEnded = {2026, 12, 2, 1, 7, 20, 32, 3};
  session.push_back(std::move(refused));

  auto cleared = Get(u"http://127.0.0.1:8080/cleared", u"", u"200", u"");
  cleared->m_bCleared = 1;
  session.push_back(std::move(cleared));

  auto aborted = Get(u"http://127.0.0.1:8080/slow?q=%C3%BCber",
                     u"GET /slow?q=%C3%BCber HTTP/1.1\r\nHost: 127.0.0.1:8080\r\n"
                     u"Accept-Language: de-DE, de;q=0.9\r\nX-Note: Gr\u00FC\u00DFe\r\n",
                     u"(Aborted)", u"");
  aborted->m_nSize = 700;  // part of the body had arrived
  aborted->m_stStarted = {2026, 12, 2, 1, 7, 20, 33, 0};
  aborted->m_stEnded = {2026, 12, 2, 1, 7, 20, 35, 500};
  session.push_back(std::move(aborted));

  auto upload = std::make_unique<CHttpTransaction>();  // still running
  upload->m_strMethod = u"PUT";
  upload->m_strUrl = u"http://127.0.0.1:8080/upload/r\u00E9sum\u00E9.txt";
  upload->m_strRequestHeaders =
      u"PUT /upload/r\u00E9sum\u00E9.txt HTTP/1.1\r\nHost: 127.0.0.1:8080\r\nContent-Type: text/plain\r\n";
  upload->m_strPostData = u"Gr\u00FC\u00DFe aus K\u00F6ln";
  upload->m_nSent = SentFor(*upload);
  upload->m_strIpAddress = u"127.0.0.1";
  upload->m_stStarted = {2026, 12, 2, 1, 7, 20, 36, 0};
  session.push_back(std::move(upload));
  return session;
}

bool StoredFieldsEqual(const CHttpTransaction& a, const CHttpTransaction& b) {
  auto stored = [](const CHttpTransaction& r) {
    return std::tie(r.m_nSent, r.m_nSize, r.m_nReserved, r.m_strResult, r.m_strMethod,
                    r.m_strMimeType, r.m_strUrl, r.m_strRedirectUrl, r.m_strRequestHeaders,
                    r.m_strResponseHeaders, r.m_strPostData, r.m_strIpAddress, r.m_strReserved,
                    r.m_stStarted, r.m_stEnded, r.m_bStatusMatch, r.m_bTypeMatch);
  };
  return stored(a) == stored(b);
}

}  // namespace tracewell::testing
