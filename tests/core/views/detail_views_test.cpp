#include <gtest/gtest.h>

#include "support/fake_clock.h"
#include "views/cache_info_view.h"
#include "views/cookie_view.h"
#include "views/header_view.h"
#include "views/parameter_views.h"

namespace tracewell {
namespace {

using testing::FakeClock;

CHttpTransaction WithHeaders(std::u16string request, std::u16string response,
                             std::u16string result = u"200") {
  CHttpTransaction record;
  record.m_strRequestHeaders = std::move(request);
  record.m_strResponseHeaders = std::move(response);
  record.m_strResult = std::move(result);
  return record;
}

TEST(HeaderView, SplitsLinesTrimsFieldsAndSkipsLinesWithoutAColon) {
  const auto record = WithHeaders(
      u"GET /a HTTP/1.1 \r\nHost:   x  \r\n\r\n:weird: line\r\nno colon\r\nAccept: */*\r\n",
      u"HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=a:b\r\n");
  CHeaderViewModel view;
  view.FillHeaderView(&record);
  EXPECT_EQ(view.RequestRows(), (TextRows{{u"Request-Line", u"GET /a HTTP/1.1 "},
                                          {u"Host", u"x"},
                                          {u"Accept", u"*/*"}}));
  EXPECT_EQ(view.ResponseRows(), (TextRows{{u"Status-Line", u"HTTP/1.1 200 OK"},
                                           {u"Content-Type", u"text/html; charset=a:b"}}));

  view.FillHeaderView(nullptr);  // no record: unchanged
  EXPECT_EQ(view.RequestRows().size(), 3u);
  view.ClearHeaderView();
  EXPECT_TRUE(view.RequestRows().empty() && view.ResponseRows().empty());
}

TEST(HeaderView, NotModifiedResultRewritesTheStatusLine) {
  const auto record = WithHeaders(u"GET / HTTP/1.1\r\n", u"HTTP/1.1 200 OK\r\nETag: x\r\n", u"304");
  CHeaderViewModel view;
  view.FillHeaderView(&record);
  EXPECT_EQ(view.ResponseRows()[0], (TextRow{u"Status-Line", u"HTTP/1.1 304 Not Modified"}));
  EXPECT_EQ(view.ResponseRows().size(), 2u);
}

TEST(HeaderView, ExplainsAMissingResponse) {
  struct Case {
    std::u16string result;
    TextRows request;
    TextRows response;
  };
  const TextRow requestLine{u"Request-Line", u"GET / HTTP/1.1"};
  const Case cases[] = {
      {u"(Cache)", {requestLine, {u"Request-Line", u"(None)"}},
       {{u"(Status-Line)", u"(Response from Cache)"}}},
      {u"(Aborted)", {requestLine}, {{u"(Aborted)", u"(No response headers received)"}}},
      {u"12029", {requestLine}, {{u"Request failed: ", u"ERROR_INTERNET_CANNOT_CONNECT"}}},
      {u" 12035x", {requestLine}, {{u"Request failed: ", u"undefined"}}},
      {u"12057", {requestLine}, {}},
      {u"404", {requestLine}, {}},
      {u"304", {requestLine}, {}},
  };
  for (const Case& c : cases) {
    const auto record = WithHeaders(u"GET / HTTP/1.1\r\n", u"", c.result);
    CHeaderViewModel view;
    view.FillHeaderView(&record);
    EXPECT_EQ(view.RequestRows(), c.request) << std::string(c.result.begin(), c.result.end());
    EXPECT_EQ(view.ResponseRows(), c.response) << std::string(c.result.begin(), c.result.end());
  }
  // Response headers present: never an explanation.
  const auto cached = WithHeaders(u"GET / HTTP/1.1\r\n", u"HTTP/1.1 200 OK\r\n", u"(Cache)");
  CHeaderViewModel view;
  view.FillHeaderView(&cached);
  EXPECT_EQ(view.RequestRows().size(), 1u);
  EXPECT_EQ(view.ResponseRows().size(), 1u);
}

TEST(CookieView, RequestCookiesComeFromTheFirstCookieLineOnly) {
  CCookieViewModel view;
  view.FillRequestCookies(WithHeaders(
      u"GET / HTTP/1.1\r\ncookie: a=1; b=2;; c; x=1=2 ;  =v\r\nCookie: later=1\r\n", u""));
  EXPECT_EQ(view.RequestRows(),
            (TextRows{{u"a", u"1"}, {u"b", u"2"}, {u"x", u"1=2"}, {u"", u"v"}}));

  view.ClearCookieViews();
  view.FillRequestCookies(WithHeaders(u"GET / HTTP/1.1\r\nCookie:\r\nCookie: a=1\r\n", u""));
  EXPECT_TRUE(view.RequestRows().empty());

  // The name is compared untrimmed: "Cookie " is another header.
  view.FillRequestCookies(WithHeaders(u"GET / HTTP/1.1\r\nCookie : a=1\r\n", u""));
  EXPECT_TRUE(view.RequestRows().empty());
}

TEST(CookieView, ResponseCookiesTakeTheirAttributes) {
  CCookieViewModel view;
  view.FillResponseCookies(WithHeaders(
      u"",
      u"HTTP/1.1 200 OK\r\n"
      u"Set-Cookie: id=42; expires=Thu, 01-Jan-2009 00:00:00 GMT; path=/; domain=D\r\n"
      u"set-cookie: id=42; Max-Age=0; HttpOnly\r\n"
      u"SET-COOKIE: secure; httponly\r\n"
      u" Set-Cookie :   \r\n"
      u"Set-Cookie2: z=1\r\n"));
  EXPECT_EQ(view.ResponseRows(),
            (TextRows{{u"id", u"42", u"/", u"D", u"Thu, 01-Jan-2009 00:00:00 GMT"},
                      {u"Max-Age", u"0", u"", u"", u""},
                      {u"", u"", u"", u"", u""}}));
}

TEST(ParameterViews, QueryRowsFollowTheSplittingRule) {
  CHttpTransaction record;
  record.m_strUrl = u"http://h/a?x=1&y=&&z=2=3&w&=v& q = a%20b+c #frag";
  CQueryViewModel query;
  query.FillQueryView(record);
  EXPECT_EQ(query.Rows(), (TextRows{{u"x", u"1"}, {u"y", u""}, {u"z", u"2=3"},
                                    {u"q", u"a%20b+c #frag"}}));
  for (const auto* url : {u"http://h/a", u"http://h/a?", u"http://h/?abc", u"?a=1"}) {
    record.m_strUrl = url;
    query.FillQueryView(record);
    EXPECT_TRUE(query.Rows().empty());
  }
}

TEST(ParameterViews, PostRowsOnlyForPost) {
  CHttpTransaction record;
  record.m_strPostData = u"name= John &age=30\r\n&--boundary";
  CPostDataViewModel post;
  for (const auto* method : {u"GET", u"post", u"PUT", u""}) {
    record.m_strMethod = method;
    post.FillPostDataView(record);
    EXPECT_TRUE(post.Rows().empty());
  }
  record.m_strMethod = u"POST";
  post.FillPostDataView(record);
  EXPECT_EQ(post.Rows(), (TextRows{{u"name", u"John"}, {u"age", u"30"}}));
}

FileTime Utc(SystemTime time) { return *SystemTimeToFileTime(time); }

TEST(FormatCacheTime, LocalTimeTwoBlanksOrInvalid) {
  const FakeClock utcPlusOne(60);
  EXPECT_EQ(FormatCacheTime(Utc({2009, 3, 0, 7, 13, 5, 9, 999}), utcPlusOne),
            u"03-07-2009  14:05:09");
  EXPECT_EQ(FormatCacheTime(Utc({2009, 12, 0, 31, 23, 30, 0, 0}), utcPlusOne),
            u"01-01-2010  00:30:00");
  EXPECT_EQ(FormatCacheTime(Utc({9999, 12, 0, 31, 23, 59, 59, 0}), FakeClock(0)),
            u"12-31-9999  23:59:59");
  EXPECT_EQ(FormatCacheTime(Utc({9999, 12, 0, 31, 23, 59, 59, 0}), utcPlusOne),
            u"Invalid DateTime");                                            // year 10000
  EXPECT_EQ(FormatCacheTime(FileTime{0}, FakeClock(-60)), u"Invalid DateTime");  // no local time
  EXPECT_EQ(FormatCacheTime(FileTime{~0ull}, FakeClock(0)), u"Invalid DateTime");
}

TEST(CacheInfoView, ThirteenRowsWithTheColumnsThatExist) {
  const FakeClock clock(0);
  CCacheInfoViewModel view(clock);
  CHttpTransaction record;
  view.ShowCacheInfo(record);
  EXPECT_TRUE(view.Rows().empty());

  auto after = std::make_unique<CacheEntrySnapshot>();
  after->SourceUrlName = u"http://h/big.iso";
  after->LocalFileName = u"/cache/big.iso";
  after->CacheEntryType = 0x80000001;
  after->UseCount = 1;
  after->HitRate = 7;
  after->SizeLow = 0xFFFFFFFF;  // low 32 bits of a 4 GiB file, shown signed
  after->LastSyncTime = Utc({2009, 3, 0, 7, 14, 5, 9, 0});
  after->HeaderInfo = u"HTTP/1.1 200 OK\r\nETag: \"x\"\r\n\r\n";
  after->FileExtension = u"iso";
  after->ExemptDelta = 3600;
  record.m_pCacheInfoAfter = std::move(after);
  view.ShowCacheInfo(record);

  const TextRows expected = {
      {u"SourceUrlName", u"", u"http://h/big.iso"},
      {u"LocalFileName", u"", u"/cache/big.iso"},
      {u"EntryType", u"", u"-2147483647"},
      {u"UseCount", u"", u"1"},
      {u"LastSyncTime", u"", u"03-07-2009  14:05:09"},
      {u"LastModifiedTime", u"", u"01-01-1601  00:00:00"},
      {u"LastAccessTime", u"", u"01-01-1601  00:00:00"},
      {u"HitRate", u"", u"7"},
      {u"HeaderInfo", u"", u"HTTP/1.1 200 OK\r\nETag: \"x\"\r\n\r\n"},
      {u"FileSize", u"", u"-1"},
      {u"FileExtension", u"", u"iso"},
      {u"ExpireTime", u"", u"01-01-1601  00:00:00"},
      {u"ExemptDelta", u"", u"3600"},
  };
  EXPECT_EQ(view.Rows(), expected);

  record.m_pCacheInfoBefore = std::make_unique<CacheEntrySnapshot>(*record.m_pCacheInfoAfter);
  record.m_pCacheInfoAfter.reset();
  view.ShowCacheInfo(record);
  EXPECT_EQ(view.Rows()[9], (TextRow{u"FileSize", u"-1", u""}));
  view.ClearCacheInfo();
  EXPECT_TRUE(view.Rows().empty());
}

}  // namespace
}  // namespace tracewell
