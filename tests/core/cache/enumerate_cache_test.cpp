#include "cache/enumerate_cache.h"

#include <gtest/gtest.h>

#include "cache/cache_tools.h"
#include "support/fake_cache.h"

namespace tracewell {
namespace {

using testing::Asked;
using testing::FakeEnumerationStore;
using testing::FakeMessageBox;
using testing::ShownMessage;
using Names = std::vector<std::u16string>;
using Sizes = std::vector<std::uint32_t>;

struct Enumerated {
  bool ok = false;
  Names names;
  std::vector<ShownMessage> shown;
};

Enumerated Enumerate(FakeEnumerationStore& store, std::optional<std::u16string_view> pattern = std::nullopt) {
  Enumerated run;
  FakeMessageBox messages;
  run.ok = EnumerateCache(
      store, pattern, [&](CacheEntrySnapshot&& entry) { run.names.push_back(entry.SourceUrlName); }, messages);
  run.shown = messages.shown;
  return run;
}

ShownMessage FindNextFailed(const char16_t* error) { return {error, u"FindNextUrlCacheEntry Init"}; }

TEST(EnumerateCache, HandsOverEveryEntryInOrderAndClosesOnce) {
  FakeEnumerationStore store;
  store.Add(u"http://a/1");
  store.Add(u"Cookie:u@a/");
  store.Add(u"visited:u@http://a/");
  Enumerated run = Enumerate(store);
  EXPECT_TRUE(run.ok);
  EXPECT_EQ(run.names, (Names{u"http://a/1", u"Cookie:u@a/", u"visited:u@http://a/"}));
  EXPECT_EQ(store.declaredSizes, (Sizes{4096, 4096, 4096, 4096}));  // the fourth finds no more
  EXPECT_EQ(store.closes, 1);
  EXPECT_TRUE(run.shown.empty());
  EXPECT_EQ(store.patterns, (std::vector<std::optional<std::u16string>>{std::nullopt}));

  run = Enumerate(store, u"Cookie:");  // the pattern goes to the store as given
  EXPECT_EQ(run.names, (Names{u"Cookie:u@a/"}));
  EXPECT_EQ(store.patterns.back(), u"Cookie:");

  FakeEnumerationStore empty;
  run = Enumerate(empty);
  EXPECT_TRUE(run.ok);
  EXPECT_TRUE(run.names.empty() && run.shown.empty());
  EXPECT_EQ(empty.declaredSizes, (Sizes{4096}));
  EXPECT_EQ(empty.closes, 0);  // nothing was started
}

TEST(EnumerateCache, DeclaresWhatTheStoreAsksForWhenAnEntryDoesNotFit) {
  FakeEnumerationStore store;
  store.Add(u"http://a/big", 5000);
  store.Add(u"http://a/small", 4096);
  store.Add(u"http://a/bigger", 9000);
  Enumerated run = Enumerate(store);
  EXPECT_TRUE(run.ok);
  EXPECT_EQ(run.names, (Names{u"http://a/big", u"http://a/small", u"http://a/bigger"}));
  EXPECT_EQ(store.declaredSizes, (Sizes{4096, 5000, 4096, 4096, 9000, 4096}));
  EXPECT_TRUE(run.shown.empty());

  // An entry that grows between the two asks is asked for again.
  FakeEnumerationStore growing;
  growing.Add(u"http://a/1");
  growing.Add(u"http://a/2", 5000);
  growing.growBy = 100;
  growing.growths = 2;
  run = Enumerate(growing);
  EXPECT_EQ(run.names, (Names{u"http://a/1", u"http://a/2"}));
  EXPECT_EQ(growing.declaredSizes, (Sizes{4096, 4096, 5000, 5100, 5200, 4096}));
}

TEST(EnumerateCache, AFailedFirstLookupIsSilentAndALaterOneShowsItsNumber) {
  FakeEnumerationStore store;
  store.Add(u"http://a/1");
  store.firstFails = CacheFindResult{CacheQueryStatus::kFailed, 2};
  Enumerated run = Enumerate(store);
  EXPECT_FALSE(run.ok);
  EXPECT_TRUE(run.names.empty() && run.shown.empty());
  EXPECT_EQ(store.closes, 0);
  store.firstFails = CacheFindResult{CacheQueryStatus::kNoMoreItems, 0};
  EXPECT_TRUE(Enumerate(store).ok);

  FakeEnumerationStore failing;
  failing.Add(u"http://a/1");
  failing.Add(u"http://a/2");
  failing.Add(u"http://a/3");
  failing.nextFailsAtEntry = 2;
  failing.nextError = 1167;
  run = Enumerate(failing);
  EXPECT_FALSE(run.ok);
  EXPECT_EQ(run.names, (Names{u"http://a/1", u"http://a/2"}));
  EXPECT_EQ(run.shown, (std::vector<ShownMessage>{FindNextFailed(u"1167")}));
  EXPECT_EQ(failing.closes, 1);

  failing.nextError = 0x80070005;  // shown as a signed number
  EXPECT_EQ(Enumerate(failing).shown, (std::vector<ShownMessage>{FindNextFailed(u"-2147024891")}));
}

TEST(EnumerateCache, GivesUpOnAnEntryThatNeverFits) {
  const auto retries = static_cast<std::size_t>(kMaxEntryBufferGrowths);
  // Claims more than any entry needs: never declared, the lookup fails at once.
  FakeEnumerationStore huge;
  huge.Add(u"http://a/1");
  huge.Add(u"http://a/2", 0xFFFFFFFF);
  huge.Add(u"http://a/3");
  Enumerated run = Enumerate(huge);
  EXPECT_FALSE(run.ok);
  EXPECT_EQ(run.names, (Names{u"http://a/1"}));
  EXPECT_EQ(run.shown, (std::vector<ShownMessage>{FindNextFailed(u"122")}));
  EXPECT_EQ(huge.declaredSizes, (Sizes{4096, 4096}));
  EXPECT_EQ(huge.closes, 1);

  FakeEnumerationStore hugeFirst;
  hugeFirst.Add(u"http://a/1", kMaxEntryBufferSize + 1);
  run = Enumerate(hugeFirst);
  EXPECT_FALSE(run.ok);
  EXPECT_TRUE(run.shown.empty());
  hugeFirst.entries[0].size = kMaxEntryBufferSize;  // the largest that is accepted
  EXPECT_TRUE(Enumerate(hugeFirst).ok);

  // Grows every time it is asked: a bounded number of asks.
  FakeEnumerationStore endless;
  endless.Add(u"http://a/1", 5000);
  endless.growBy = 1;
  endless.growths = 1'000'000;
  run = Enumerate(endless);
  EXPECT_FALSE(run.ok);
  EXPECT_EQ(endless.declaredSizes.size(), 1 + retries);
  EXPECT_EQ(endless.declaredSizes.back(), 5000 + retries - 1);

  // Says "insufficient" but asks for no more than it was given.
  FakeEnumerationStore stubborn;
  stubborn.Add(u"http://a/1");
  stubborn.Add(u"http://a/2", 5000);
  stubborn.askForLessOnRetry = true;
  run = Enumerate(stubborn);
  EXPECT_EQ(run.names, (Names{u"http://a/1"}));
  EXPECT_EQ(run.shown, (std::vector<ShownMessage>{FindNextFailed(u"122")}));
  EXPECT_EQ(stubborn.declaredSizes, (Sizes{4096, 4096}));
}

TEST(CacheTools, ClearAllCookiesAsksThenDeletesWhatThePatternFinds) {
  FakeEnumerationStore store;
  store.Add(u"http://a/1");
  store.Add(u"Cookie:u@a/");
  store.Add(u"cookie:u@b/");  // the store's pattern match ignores case
  FakeMessageBox messages;
  messages.answer = false;
  ClearAllCookies(store, messages);
  EXPECT_EQ(messages.shown, (std::vector<ShownMessage>{
                                {u"Are you sure you want to delete all cookies.", u"Delete Cookies", true}}));
  EXPECT_TRUE(store.deletedNames.empty());
  EXPECT_TRUE(store.patterns.empty());

  messages.answer = true;
  ClearAllCookies(store, messages);
  EXPECT_EQ(store.patterns.back(), u"Cookie:");
  EXPECT_EQ(store.deletedNames, (Names{u"Cookie:u@a/", u"cookie:u@b/"}));
  EXPECT_EQ(store.LiveNames(), (Names{u"http://a/1"}));

  messages.shown.clear();
  ClearAllCookies(store, messages);  // no cookies left: the question only
  EXPECT_EQ(messages.shown, (std::vector<ShownMessage>{Asked(kMsgDeleteAllCookies)}));
}

TEST(CacheTools, ClearAllCachesKeepsOnlyNamesBeginningExactlyWithCookie) {
  FakeEnumerationStore store;
  for (const char16_t* name : {u"http://a/1", u"https://b/2", u"visited:u@http://a/", u"Cookie:u@a/",
                               u"cookie:u@b/", u"ftp://c/3"}) {
    store.Add(name);
  }
  FakeMessageBox messages;
  messages.answer = false;
  EXPECT_FALSE(ClearAllCaches(store, messages));
  EXPECT_EQ(messages.shown, (std::vector<ShownMessage>{
                                {u"Are you sure you want to delete all caches.", u"Delete Caches", true}}));
  EXPECT_TRUE(store.deletedNames.empty());

  messages.answer = true;
  EXPECT_TRUE(ClearAllCaches(store, messages));
  EXPECT_EQ(store.patterns.back(), std::nullopt);
  EXPECT_EQ(store.LiveNames(), (Names{u"Cookie:u@a/"}));
  EXPECT_EQ(messages.shown.size(), 2u);

  // A failing lookup stops the deleting where it is and says so.
  FakeEnumerationStore failing;
  failing.Add(u"http://a/1");
  failing.Add(u"http://a/2");
  failing.nextFailsAtEntry = 1;
  failing.nextError = 5;
  messages.shown.clear();
  ClearAllCaches(failing, messages);
  EXPECT_EQ(failing.LiveNames(), (Names{u"http://a/2"}));
  EXPECT_EQ(messages.shown.back(), FindNextFailed(u"5"));
}

}  // namespace
}  // namespace tracewell
