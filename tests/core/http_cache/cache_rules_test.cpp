// A private cache's rules on real header blocks, with exact values: what may be
// stored, how long it stays fresh, the Vary key, the fields kept and what a 304
// changes, and the entry record built from a stored response.

#include <gtest/gtest.h>

#include "capture/cache_store.h"
#include "http_cache/cache_rules.h"
#include "http_cache/entry_snapshot.h"

namespace tracewell {
namespace {

HeaderFields Headers(std::u16string_view block) { return ParseHeaderFields(block); }

// 8 December 2026, UTC, at the hour, minute and second given.
FileTime At(std::uint16_t hour, std::uint16_t minute = 0, std::uint16_t second = 0) {
  return *SystemTimeToFileTime({2026, 12, 0, 8, hour, minute, second, 0});
}

FileTime Plus(FileTime time, std::int64_t seconds) {
  return {time.ticks + static_cast<std::uint64_t>(seconds * kFileTimeTicksPerSecond)};
}

const HeaderFields kGet = Headers(u"GET /a.css HTTP/1.1\r\nHost: h\r\n");

TEST(CacheRules, WhatAPrivateCacheMayStore) {
  const auto may = [](std::u16string_view method, std::u16string_view request, std::u16string_view response) {
    const HeaderFields fields = Headers(response);
    return MayStore(method, request, StatusOf(fields), fields);
  };
  const std::u16string_view plain = u"GET / HTTP/1.1\r\nHost: h\r\n";
  EXPECT_TRUE(may(u"GET", plain, u"HTTP/1.1 200 OK\r\nContent-Length: 3\r\n"));
  EXPECT_TRUE(may(u"GET", plain, u"HTTP/1.1 404 Not Found\r\n"));  // cacheable by default
  EXPECT_TRUE(may(u"GET", plain, u"HTTP/1.1 200 OK\r\nCache-Control: private, max-age=5\r\n"));
  EXPECT_TRUE(may(u"GET", u"GET / HTTP/1.1\r\nAuthorization: Basic eDp5\r\n", u"HTTP/1.1 200 OK\r\n"));
  EXPECT_FALSE(may(u"GET", plain, u"HTTP/1.1 302 Found\r\nLocation: /b\r\n"));
  EXPECT_TRUE(may(u"GET", plain, u"HTTP/1.1 302 Found\r\nCache-Control: max-age=60\r\n"));
  EXPECT_TRUE(may(u"GET", plain, u"HTTP/1.1 307 Temporary\r\nExpires: Tue, 08 Dec 2026 13:00:00 GMT\r\n"));
  EXPECT_TRUE(may(u"GET", plain, u"HTTP/1.1 302 Found\r\nCache-Control: public\r\n"));
  EXPECT_FALSE(may(u"GET", plain, u"HTTP/1.1 200 OK\r\nCache-Control: max-age=60, No-Store\r\n"));
  EXPECT_FALSE(may(u"GET", u"GET / HTTP/1.1\r\nCache-Control: no-store\r\n", u"HTTP/1.1 200 OK\r\n"));
  EXPECT_FALSE(may(u"GET", u"GET / HTTP/1.1\r\nCache-Control: max-age=0\r\ncache-control : No-Store\r\n",
                   u"HTTP/1.1 200 OK\r\n"));  // any of the request's fields
  EXPECT_FALSE(may(u"POST", plain, u"HTTP/1.1 200 OK\r\nCache-Control: max-age=60\r\n"));
  EXPECT_FALSE(may(u"HEAD", plain, u"HTTP/1.1 200 OK\r\n"));
  EXPECT_FALSE(may(u"GET", plain, u"HTTP/1.1 206 Partial Content\r\n"));
  EXPECT_FALSE(may(u"GET", plain, u"HTTP/1.1 304 Not Modified\r\n"));
  EXPECT_FALSE(may(u"GET", plain, u"HTTP/1.1 101 Switching Protocols\r\n"));
}

TEST(CacheRules, FreshnessLifetimeFromMaxAgeExpiresOrLastModified) {
  const FileTime received = At(12, 0, 5);
  const auto lifetime = [&](std::u16string_view response) {
    const HeaderFields fields = Headers(response);
    return FreshnessLifetime(StatusOf(fields), fields, received);
  };
  const std::u16string date = u"Date: Tue, 08 Dec 2026 12:00:00 GMT\r\n";
  EXPECT_EQ(lifetime(u"HTTP/1.1 200 OK\r\nCache-Control: max-age=600\r\nExpires: Tue, 08 Dec 2026 20:00:00 GMT\r\n"),
            600);
  EXPECT_EQ(lifetime(u"HTTP/1.1 200 OK\r\n" + date + u"Expires: Tue, 08 Dec 2026 13:00:00 GMT\r\n"), 3600);
  // Without Date, Expires counts from the moment the response came.
  EXPECT_EQ(lifetime(u"HTTP/1.1 200 OK\r\nExpires: Tue, 08 Dec 2026 12:01:05 GMT\r\n"), 60);
  EXPECT_EQ(lifetime(u"HTTP/1.1 200 OK\r\n" + date + u"Expires: 0\r\n"), 0);
  EXPECT_EQ(lifetime(u"HTTP/1.1 200 OK\r\n" + date + u"Expires: Mon, 07 Dec 2026 12:00:00 GMT\r\n"), 0);
  // 10 % of the ten days since the last change.
  EXPECT_EQ(lifetime(u"HTTP/1.1 200 OK\r\n" + date + u"Last-Modified: Sat, 28 Nov 2026 12:00:00 GMT\r\n"), 86400);
  EXPECT_EQ(lifetime(u"HTTP/1.1 302 Found\r\n" + date + u"Last-Modified: Sat, 28 Nov 2026 12:00:00 GMT\r\n"),
            std::nullopt);
  EXPECT_EQ(lifetime(u"HTTP/1.1 200 OK\r\n" + date), std::nullopt);
  // A malformed or repeated max-age makes the response stale.
  EXPECT_EQ(lifetime(u"HTTP/1.1 200 OK\r\nCache-Control: max-age=soon\r\n"), 0);
  EXPECT_EQ(lifetime(u"HTTP/1.1 200 OK\r\nCache-Control: max-age=10, max-age=20\r\n"), 0);
  EXPECT_EQ(lifetime(u"HTTP/1.1 200 OK\r\nCache-Control: max-age=\"30\"\r\n"), 30);
  EXPECT_EQ(lifetime(u"HTTP/1.1 200 OK\r\nCache-Control: max-age=99999999999\r\n"), 2147483648);
}

TEST(CacheRules, ExpirationTimeTakesOffTheAgeTheResponseAlreadyHad) {
  const FileTime received = At(12, 0, 20);
  const auto expires = [&](std::u16string_view response) {
    const HeaderFields fields = Headers(response);
    return ExpirationTime(StatusOf(fields), fields, received);
  };
  EXPECT_EQ(expires(u"HTTP/1.1 200 OK\r\nCache-Control: max-age=100\r\n"), Plus(received, 100));
  // Date 20 s before it came: 20 s old already.
  EXPECT_EQ(expires(u"HTTP/1.1 200 OK\r\nDate: Tue, 08 Dec 2026 12:00:00 GMT\r\nCache-Control: max-age=100\r\n"),
            Plus(received, 80));
  // Age beyond that counts instead.
  EXPECT_EQ(expires(u"HTTP/1.1 200 OK\r\nDate: Tue, 08 Dec 2026 12:00:00 GMT\r\nAge: 30\r\n"
                    u"Cache-Control: max-age=100\r\n"),
            Plus(received, 70));
  EXPECT_EQ(expires(u"HTTP/1.1 200 OK\r\n"), std::nullopt);
}

TEST(CacheRules, VaryKeyNamesTheRequestFieldsThatSelectTheResponse) {
  const std::u16string_view request =
      u"GET / HTTP/1.1\r\nAccept-Encoding: gzip\r\naccept-language: de\r\nAccept-Language: en\r\n";
  EXPECT_EQ(VaryKey(Headers(u"HTTP/1.1 200 OK\r\n"), request), u"");
  EXPECT_EQ(VaryKey(Headers(u"HTTP/1.1 200 OK\r\nVary: Accept-Encoding, User-Agent\r\nVary: Accept-Language\r\n"),
                    request),
            u"accept-encoding:gzip\nuser-agent\naccept-language:de, en\n");
  EXPECT_EQ(VaryKey(Headers(u"HTTP/1.1 200 OK\r\nVary: Accept-Encoding, *\r\n"), request), std::nullopt);
}

TEST(CacheRules, StoredFieldsLeaveOutTheConnectionsOwn) {
  const HeaderFields response = Headers(
      u"HTTP/1.1 200 OK\r\nConnection: keep-alive, X-Hop\r\nKeep-Alive: timeout=5\r\nX-Hop: 1\r\n"
      u"Transfer-Encoding: chunked\r\nProxy-Authenticate: Basic\r\nContent-Type: text/css\r\nETag: \"v1\"\r\n"
      u"connection: x-two\r\nX-Two: 2\r\n");
  EXPECT_EQ(HeaderBlockText(StoredFields(response)),
            u"HTTP/1.1 200 OK\r\nContent-Type: text/css\r\nETag: \"v1\"\r\n\r\n");
}

TEST(CacheRules, NotModifiedUpdatesTheStoredFieldsButNotTheFraming) {
  const HeaderFields stored = Headers(
      u"HTTP/1.1 200 OK\r\nContent-Type: text/css\r\nETag: \"v1\"\r\nCache-Control: max-age=60\r\n"
      u"Content-Length: 10\r\nDate: Tue, 08 Dec 2026 11:00:00 GMT\r\nSet-Cookie: a=1\r\nSet-Cookie: b=2\r\n");
  const HeaderFields notModified = Headers(
      u"HTTP/1.1 304 Not Modified\r\nDate: Tue, 08 Dec 2026 12:00:00 GMT\r\nETag: \"v2\"\r\n"
      u"Cache-Control: max-age=120\r\nContent-Length: 0\r\nConnection: keep-alive\r\nSet-Cookie: c=3\r\n"
      u"X-New: 1\r\n");
  EXPECT_EQ(HeaderBlockText(UpdateAfterNotModified(stored, notModified)),
            u"HTTP/1.1 200 OK\r\nContent-Type: text/css\r\nETag: \"v2\"\r\nCache-Control: max-age=120\r\n"
            u"Content-Length: 10\r\nDate: Tue, 08 Dec 2026 12:00:00 GMT\r\nSet-Cookie: c=3\r\nX-New: 1\r\n\r\n");
}

TEST(CacheRules, UnsafeMethodsAnsweredWithoutErrorMakeTheEntryStale) {
  EXPECT_TRUE(InvalidatesStored(u"POST", 200));
  EXPECT_TRUE(InvalidatesStored(u"DELETE", 204));
  EXPECT_TRUE(InvalidatesStored(u"PUT", 302));
  EXPECT_FALSE(InvalidatesStored(u"POST", 500));
  EXPECT_FALSE(InvalidatesStored(u"POST", 404));
  EXPECT_FALSE(InvalidatesStored(u"GET", 200));
  EXPECT_FALSE(InvalidatesStored(u"HEAD", 200));
}

TEST(EntrySnapshot, ANewEntryAndWhatA304AndAUseChangeInIt) {
  const HeaderFields stored = Headers(
      u"HTTP/1.1 200 OK\r\nDate: Tue, 08 Dec 2026 12:00:00 GMT\r\nLast-Modified: Sat, 28 Nov 2026 12:00:00 GMT\r\n"
      u"Content-Type: text/css\r\n");
  const FileTime received = At(12);
  CacheEntrySnapshot entry = NewEntrySnapshot(u"http://h/a/site.css?v=2", u"/s/00ab.css", stored, 0x100000005, received);
  CacheEntrySnapshot expected;
  expected.SourceUrlName = u"http://h/a/site.css?v=2";
  expected.LocalFileName = u"/s/00ab.css";
  expected.CacheEntryType = 1;
  expected.SizeLow = 5;  // the low half of 4 GiB + 5
  expected.LastModifiedTime = *SystemTimeToFileTime({2026, 11, 0, 28, 12, 0, 0, 0});
  expected.ExpireTime = Plus(received, 86400);
  expected.LastAccessTime = received;
  expected.LastSyncTime = received;
  expected.HeaderInfo = u"HTTP/1.1 200 OK\r\nDate: Tue, 08 Dec 2026 12:00:00 GMT\r\n"
                        u"Last-Modified: Sat, 28 Nov 2026 12:00:00 GMT\r\nContent-Type: text/css\r\n\r\n";
  expected.FileExtension = u"css";
  EXPECT_EQ(entry, expected);
  // The record and its four strings with their zeros, two bytes a character.
  EXPECT_EQ(CacheEntryRecordSize(entry), 112u + 2 * (24 + 12 + expected.HeaderInfo.size() + 1 + 4));

  CountUse(entry, false, At(12, 30));
  CountUse(entry, true, At(12, 40));
  EXPECT_EQ(entry.UseCount, 2u);
  EXPECT_EQ(entry.HitRate, 1u);
  EXPECT_EQ(entry.LastAccessTime, At(12, 40));

  RefreshEntrySnapshot(entry, Headers(u"HTTP/1.1 304 Not Modified\r\nDate: Tue, 08 Dec 2026 13:00:00 GMT\r\n"
                                      u"Cache-Control: max-age=300\r\n"),
                       At(13));
  EXPECT_EQ(entry.HeaderInfo, u"HTTP/1.1 200 OK\r\nDate: Tue, 08 Dec 2026 13:00:00 GMT\r\n"
                              u"Last-Modified: Sat, 28 Nov 2026 12:00:00 GMT\r\nContent-Type: text/css\r\n"
                              u"Cache-Control: max-age=300\r\n\r\n");
  EXPECT_EQ(entry.ExpireTime, Plus(At(13), 300));
  EXPECT_EQ(entry.LastSyncTime, At(13));
  EXPECT_EQ(entry.LastAccessTime, At(12, 40));  // a use is counted apart
  EXPECT_EQ(entry.UseCount, 2u);
}

TEST(EntrySnapshot, FileExtensionIsTheLastPathSegments) {
  EXPECT_EQ(UrlFileExtension(u"http://h/a/b.min.js?x=1.png#y.gif"), u"js");
  EXPECT_EQ(UrlFileExtension(u"https://h.example/dir.d/file"), u"");
  EXPECT_EQ(UrlFileExtension(u"http://h.example"), u"");
  EXPECT_EQ(UrlFileExtension(u"http://h/"), u"");
  EXPECT_EQ(StatusOf(Headers(u"HTTP/1.1 404 Not Found\r\n")), 404);
  EXPECT_EQ(StatusOf(Headers(u"garbage\r\n")), 0);
}

}  // namespace
}  // namespace tracewell
