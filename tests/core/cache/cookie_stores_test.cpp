#include <gtest/gtest.h>

#include "cache/cache_store_union.h"
#include "cache/cache_tools.h"
#include "cache/cookie_cache_dialog.h"
#include "cache/enumerate_cache.h"
#include "cache/session_cookies.h"
#include "support/fake_cache.h"
#include "devtools/browser_cookies.h"

namespace tracewell {
namespace {

using testing::FakeEnumerationStore;
using testing::FakeMessageBox;
using Names = std::vector<std::u16string>;

struct Cookies {
  std::vector<StoredCookie> deleted;
  CCookieEntryStore store{{{u"sid", u"a.test", u"/", u"1"}, {u"pref", u"b.test", u"/app", u"dark"}},
                          [this](const StoredCookie& c) { deleted.push_back(c); }};
};

Names EnumeratedNames(ICacheEnumerationStore& store, std::optional<std::u16string_view> pattern) {
  Names names;
  FakeMessageBox messages;
  EXPECT_TRUE(EnumerateCache(store, pattern, [&](CacheEntrySnapshot&& e) { names.push_back(e.SourceUrlName); },
                             messages));
  EXPECT_TRUE(messages.shown.empty());
  return names;
}

TEST(CookieEntryStore, NamesEachCookieAndMatchesPatternsAsAPrefixWithoutCase) {
  Cookies c;
  EXPECT_EQ(EnumeratedNames(c.store, std::nullopt), (Names{u"Cookie:sid@a.test/", u"Cookie:pref@b.test/app"}));
  EXPECT_EQ(EnumeratedNames(c.store, u"cookie:PREF"), (Names{u"Cookie:pref@b.test/app"}));
  EXPECT_TRUE(EnumeratedNames(c.store, u"http://").empty());

  std::uint32_t size = 4;  // too small: the room needed, and the entry again next time
  CacheEntrySnapshot entry;
  CacheFindHandle handle = 0;
  EXPECT_EQ(c.store.FindFirstUrlCacheEntry(std::nullopt, entry, size, handle).status,
            CacheQueryStatus::kInsufficientBuffer);
  CacheEntrySnapshot named;
  named.SourceUrlName = u"Cookie:sid@a.test/";
  EXPECT_EQ(size, CacheEntryRecordSize(named));
  EXPECT_EQ(c.store.FindFirstUrlCacheEntry(std::nullopt, entry, size, handle).status, CacheQueryStatus::kOk);
  EXPECT_EQ(entry.CacheEntryType, kCookieCacheEntry);
  EXPECT_EQ(entry.SizeLow, 1u);
  c.store.FindCloseUrlCache(handle);
  EXPECT_EQ(c.store.FindNextUrlCacheEntry(handle, entry, size),
            (CacheFindResult{CacheQueryStatus::kFailed, kErrorInvalidHandle}));
}

TEST(CookieEntryStore, ClearAllCookiesDeletesEveryCookieWhileEnumerating) {
  Cookies c;
  FakeMessageBox messages;
  messages.answer = true;
  ClearAllCookies(c.store, messages);
  ASSERT_EQ(c.deleted.size(), 2u);
  EXPECT_EQ(c.deleted[0].name, u"sid");
  EXPECT_EQ(c.deleted[1].name, u"pref");
  EXPECT_TRUE(c.store.Cookies().empty());
  c.store.DeleteUrlCacheEntry(u"Cookie:sid@a.test/");  // already gone: nothing happens
  EXPECT_EQ(c.deleted.size(), 2u);
}

TEST(CacheStoreUnion, EnumeratesTheStoresInTurnAndDeletesWhereTheEntryIs) {
  Cookies c;
  FakeEnumerationStore cache;
  cache.Add(u"http://a.test/1.css");
  cache.Add(u"http://b.test/2.png", 9000);  // needs more room than declared first
  CCacheStoreUnion both({&c.store, &cache});
  EXPECT_EQ(EnumeratedNames(both, std::nullopt),
            (Names{u"Cookie:sid@a.test/", u"Cookie:pref@b.test/app", u"http://a.test/1.css", u"http://b.test/2.png"}));

  // The manager over the union: hosts from the cache, cookies from the cookie store.
  testing::FakeUrlHostParser urls;
  testing::FakeFiles files;
  testing::FakeSaveFileDialog saveDialog;
  testing::FakePictureDecoder pictures;
  FakeMessageBox messages;
  CCookieCacheDialogModel manager({both, urls, messages, files, saveDialog, pictures});
  manager.OnInitDialog();
  EXPECT_EQ(manager.HostCount(), 2u);
  manager.OnClearCookie();
  EXPECT_EQ(c.deleted.size(), 2u);
  EXPECT_EQ(cache.LiveNames().size(), 2u);

  messages.answer = true;
  ClearAllCaches(both, messages);
  EXPECT_TRUE(cache.LiveNames().empty());
}

TEST(CacheStoreUnion, AFailureInALaterStoreIsReported) {
  Cookies c;
  FakeEnumerationStore cache;
  cache.Add(u"http://a.test/1");
  cache.Add(u"http://a.test/2");
  cache.nextFailsAtEntry = 1;
  cache.nextError = 5;
  CCacheStoreUnion both({&c.store, &cache});
  Names names;
  FakeMessageBox messages;
  EXPECT_FALSE(EnumerateCache(both, std::nullopt, [&](CacheEntrySnapshot&& e) { names.push_back(e.SourceUrlName); },
                              messages));
  EXPECT_EQ(names.size(), 3u);
  EXPECT_EQ(messages.shown, (std::vector<testing::ShownMessage>{{u"5", u"FindNextUrlCacheEntry Init"}}));
  EXPECT_EQ(cache.closes, 1);
}

TEST(SessionCookies, OneCookiePerNameDomainAndPathWithTheLastValue) {
  TransactionArray records;
  auto add = [&](std::u16string url, std::u16string headers) {
    records.push_back(std::make_unique<CHttpTransaction>());
    records.back()->m_strUrl = std::move(url);
    records.back()->m_strResponseHeaders = std::move(headers);
  };
  add(u"http://a.test/x", u"HTTP/1.1 200 OK\r\nSet-Cookie: sid=1\r\nSet-Cookie: pref=x; Path=/app; Domain=.a.test\r\n");
  add(u"http://!bad/", u"HTTP/1.1 200 OK\r\nSet-Cookie: lost=1\r\n");
  add(u"http://a.test/y", u"HTTP/1.1 200 OK\r\nSet-Cookie: sid=2\r\n");
  testing::FakeUrlHostParser urls;
  EXPECT_EQ(SessionCookies(records, urls), (std::vector<StoredCookie>{{u"sid", u"a.test", u"/", u"2"},
                                                                     {u"pref", u".a.test", u"/app", u"x"}}));
}

TEST(BrowserCookies, ReadsTheGetCookiesResultAndDeletesExactlyOne) {
  const auto result = devtools::Json::parse(R"({"cookies":[
      {"name":"sid","value":"1","domain":"127.0.0.1","path":"/","size":4},
      {"name":"","value":"x","domain":"a.test","path":"/"},
      {"name":"n","value":"v","domain":"b.test"},
      "junk"]})");
  const auto cookies = devtools::ReadBrowserCookies(result);
  EXPECT_EQ(cookies, (std::vector<StoredCookie>{{u"sid", u"127.0.0.1", u"/", u"1"}, {u"n", u"b.test", u"/", u"v"}}));
  EXPECT_EQ(devtools::DeleteCookieParams(cookies[0]).dump(), R"({"domain":"127.0.0.1","name":"sid","path":"/"})");
  EXPECT_TRUE(devtools::ReadBrowserCookies(devtools::Json::object()).empty());
}

}  // namespace
}  // namespace tracewell
