#include "views/quick_filter.h"

#include <gtest/gtest.h>

namespace tracewell {
namespace {

CHttpTransaction Record(std::u16string method, std::u16string result, std::u16string type,
                        std::u16string url) {
  CHttpTransaction record;
  record.m_strMethod = std::move(method);
  record.m_strResult = std::move(result);
  record.m_strMimeType = std::move(type);
  record.m_strUrl = std::move(url);
  return record;
}

bool Passes(std::u16string_view text, const CHttpTransaction& record) {
  return CQuickFilter(text).Passes(record);
}

TEST(QuickFilter, PlainTextLooksInTheUrlInAnyCase) {
  const CHttpTransaction page =
      Record(u"GET", u"200", u"text/html", u"http://Example.COM/Caf\u00E9/Index.HTML?q=ABC");
  EXPECT_TRUE(Passes(u"example.com", page));
  EXPECT_TRUE(Passes(u"INDEX.html", page));
  EXPECT_TRUE(Passes(u"  q=abc  ", page));  // spaces around the text do not count
  EXPECT_TRUE(Passes(u"CAF\u00C9", page));   // the Find dialog's fold, not ASCII only
  EXPECT_FALSE(Passes(u"index.htm?q=abd", page));
  // Only the URL: the method, result and type are not looked at without a prefix.
  EXPECT_FALSE(Passes(u"GET", page));
  EXPECT_FALSE(Passes(u"text", page));
  // A "word:" that is no known prefix is URL text.
  EXPECT_TRUE(Passes(u"HTTP://example", page));
  EXPECT_FALSE(Passes(u"https:", page));
}

TEST(QuickFilter, EachPrefixLooksInItsOwnFieldOnly) {
  const CHttpTransaction missing = Record(u"POST", u"404", u"application/json",
                                          u"https://user@Api.Example.org:8443/v1/get/200/html");
  EXPECT_TRUE(Passes(u"method:pos", missing));
  EXPECT_FALSE(Passes(u"method:get", missing));  // in the URL, not the method
  EXPECT_TRUE(Passes(u"status:40", missing));
  EXPECT_FALSE(Passes(u"status:200", missing));
  EXPECT_TRUE(Passes(u"type:JSON", missing));
  EXPECT_FALSE(Passes(u"type:html", missing));
  EXPECT_TRUE(Passes(u"host:api.example", missing));
  EXPECT_FALSE(Passes(u"host:user", missing));  // user info
  EXPECT_FALSE(Passes(u"host:8443", missing));  // port
  EXPECT_FALSE(Passes(u"host:v1", missing));    // path
  // The prefix in any case, with spaces after it.
  EXPECT_TRUE(Passes(u"HOST:  ORG", missing));
  EXPECT_TRUE(Passes(u"Status: 404", missing));
  // A network error number or "(Cache)" is the Result column's text too.
  EXPECT_TRUE(Passes(u"status:(cache)", Record(u"GET", u"(Cache)", u"", u"http://h/")));
  EXPECT_TRUE(Passes(u"status:1202", Record(u"GET", u"12029", u"", u"http://h/")));
}

TEST(QuickFilter, EmptyTextOrAPrefixAloneHidesNothing) {
  const CHttpTransaction blank;
  for (const std::u16string_view text : {u"", u"   ", u"method:", u"status:", u"type: ", u"host:"}) {
    EXPECT_FALSE(CQuickFilter(text).IsActive());
    EXPECT_TRUE(Passes(text, blank));
  }
  EXPECT_TRUE(CQuickFilter().Passes(blank));
  EXPECT_TRUE(CQuickFilter(u"x").IsActive());
  EXPECT_FALSE(Passes(u"status:2", blank));  // a running record has no result yet
}

TEST(QuickFilter, UrlHostDropsSchemeUserInfoPortPathQueryAndFragment) {
  EXPECT_EQ(UrlHost(u"http://h/a"), u"h");
  EXPECT_EQ(UrlHost(u"https://u:p@Host.example:443/x?y#z"), u"Host.example");
  EXPECT_EQ(UrlHost(u"http://h.example?q=a/b"), u"h.example");
  EXPECT_EQ(UrlHost(u"http://h.example#top"), u"h.example");
  EXPECT_EQ(UrlHost(u"http://[::1]:8080/"), u"[::1]");
  EXPECT_EQ(UrlHost(u"tunnel.example:443"), u"tunnel.example");  // a CONNECT names host:port
  EXPECT_EQ(UrlHost(u""), u"");
}

}  // namespace
}  // namespace tracewell
