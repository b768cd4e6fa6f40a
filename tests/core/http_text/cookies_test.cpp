#include "http_text/cookies.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "http_text/parameters.h"

namespace tracewell {
namespace {

using Pairs = std::vector<std::pair<std::u16string, std::u16string>>;

Pairs AsPairs(const std::vector<NameValueText>& list) {
  Pairs pairs;
  for (const auto& item : list) pairs.emplace_back(item.name, item.value);
  return pairs;
}

TEST(Cookies, RequestPairsComeFromTheFirstCookieLine) {
  EXPECT_EQ(AsPairs(RequestCookies(u"Cookie: a= 1 ;b;c=2=3\r\nCookie: d=4\r\n")),
            (Pairs{{u"a", u"1"}, {u"c", u"2=3"}}));
  EXPECT_EQ(AsPairs(RequestCookies(u"GET / HTTP/1.1\r\nHost: h\r\n")), Pairs{});
}

TEST(Cookies, ResponseCookiesTakeAttributesInAnyOrderAndCase) {
  const auto cookies = ResponseCookies(
      u"HTTP/1.1 302 Found\r\n"
      u"Set-Cookie: DOMAIN=example.test; sid=x; Path=/a; EXPIRES=Wed, 09 Jun 2027 10:18:14 GMT\r\n"
      u"Location: /next\r\n"
      u"set-cookie: theme=dark\r\n");
  ASSERT_EQ(cookies.size(), 2u);
  EXPECT_EQ(cookies[0].name, u"sid");
  EXPECT_EQ(cookies[0].value, u"x");
  EXPECT_EQ(cookies[0].path, u"/a");
  EXPECT_EQ(cookies[0].domain, u"example.test");
  EXPECT_EQ(cookies[0].expires, u"Wed, 09 Jun 2027 10:18:14 GMT");
  EXPECT_EQ(cookies[1].name + u"=" + cookies[1].value + cookies[1].path + cookies[1].domain + cookies[1].expires,
            u"theme=dark");
}

TEST(Parameters, QueryAndPostListsAreTrimmedPairs) {
  EXPECT_EQ(AsPairs(QueryParameters(u"http://h/p?a = 1 &&b=&=c&d")), (Pairs{{u"a", u"1"}, {u"b", u""}}));
  EXPECT_EQ(AsPairs(QueryParameters(u"http://h/p")), Pairs{});
  EXPECT_EQ(AsPairs(PostParameters(u"POST", u"x=1\r\n&y=2")), (Pairs{{u"x", u"1"}, {u"y", u"2"}}));
  EXPECT_EQ(AsPairs(PostParameters(u"PUT", u"x=1")), Pairs{});
}

}  // namespace
}  // namespace tracewell
