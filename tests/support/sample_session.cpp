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
