// The recorder's response store with real traffic: curl through the proxy on
// 127.0.0.1 to the tests' origin, the records' cache snapshots before and after each
// request, and the store's folder on disk across restarts, damage and faults.

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>

#include "../proxy/recorder_harness.h"
#include "cache/enumerate_cache.h"
#include "store/response_store.h"
#include "support/fake_message_box.h"
#include "support/temp_dir.h"
#include "support/test_origin.h"
#include "text/code_page.h"
#include "text/utf8.h"

namespace tracewell::testing {
namespace {

namespace fs = std::filesystem;
using store::CResponseStore;
using store::StoreSettings;

constexpr std::int64_t kSecond = kFileTimeTicksPerSecond;
constexpr FileTime kStart{133'800'000'000'000'000};

// The store's "now", set by the test before each request.
struct TestNow {
  std::atomic<std::uint64_t> ticks{kStart.ticks};
  void Set(std::int64_t secondsAfterStart) {
    ticks = kStart.ticks + static_cast<std::uint64_t>(secondsAfterStart * kSecond);
  }
};

FileTime After(std::int64_t seconds) { return {kStart.ticks + static_cast<std::uint64_t>(seconds * kSecond)}; }

struct StoreFixture {
  TempDir temp;
  TestNow now;
  std::vector<std::string> faults;
  std::mutex faultMutex;

  StoreSettings Settings(std::uint64_t maxBytes = 1 << 20) {
    return {temp / "store", maxBytes,
            [this](std::string_view line) {
              const std::lock_guard lock(faultMutex);
              faults.emplace_back(line);
            },
            [this] { return FileTime{now.ticks.load()}; }};
  }
};

SharedCacheEntry Snapshot(CResponseStore& store, const std::string& url) {
  return TakeCacheSnapshot(store, FromCodePage(url));
}

// The files the store keeps besides its index and lock: the bodies, once the file
// worker has done what the responses so far gave it.
std::size_t BodyFiles(CResponseStore& store, const fs::path& folder) {
  store.Settle();
  std::size_t count = 0;
  for (const auto& item : fs::directory_iterator(folder)) {
    const std::string name = item.path().filename().string();
    if (name != "index" && name != "lock") ++count;
  }
  return count;
}

// curl through the proxy; returns once the request's record has finished, when the
// store has taken the response.
std::string Fetch(RecorderHarness& harness, const std::string& arguments) {
  const std::size_t finished = harness.Finished();
  const CommandResult result = Curl(harness.ProxyAddress(), arguments);
  harness.WaitForFinished(finished + 1);
  return result.output;
}

TEST(ResponseStore, AResourceFetchedTwiceShowsItsEntryBeforeAndAfterEachRequest) {
  StoreFixture fixture;
  TestOrigin origin;
  origin.SetResponse("/site.css", "HTTP/1.1 200 OK\r\nContent-Type: text/css\r\nCache-Control: max-age=600\r\n",
                     "body{}");
  RecorderHarness harness(TestProxyOptions(), fixture.Settings());
  CResponseStore& store = *harness.Recorder().Store();
  const std::string url = origin.Url("/site.css");

  fixture.now.Set(0);
  EXPECT_EQ(Fetch(harness, url), "body{}");
  fixture.now.Set(60);
  EXPECT_EQ(Fetch(harness, url), "body{}");
  const auto& records = harness.WaitForFinished(2);
  ASSERT_EQ(records.size(), 2u);

  EXPECT_EQ(records[0]->m_pCacheInfoBefore, nullptr);
  ASSERT_NE(records[0]->m_pCacheInfoAfter, nullptr);
  const CacheEntrySnapshot& first = *records[0]->m_pCacheInfoAfter;
  CacheEntrySnapshot expected;
  expected.SourceUrlName = FromCodePage(url);
  expected.LocalFileName = first.LocalFileName;
  expected.CacheEntryType = 1;
  expected.UseCount = 1;
  expected.SizeLow = 6;
  expected.ExpireTime = After(600);
  expected.LastAccessTime = After(0);
  expected.LastSyncTime = After(0);
  expected.HeaderInfo =
      u"HTTP/1.1 200 OK\r\nContent-Type: text/css\r\nCache-Control: max-age=600\r\nContent-Length: 6\r\n\r\n";
  expected.FileExtension = u"css";
  EXPECT_EQ(first, expected);
  EXPECT_EQ(fs::path(ToUtf8(first.LocalFileName)).parent_path(), fixture.temp / "store");
  EXPECT_TRUE(first.LocalFileName.ends_with(u".css"));

  // The second request found the first one's entry, fresh: a use and a hit. Its
  // response is the entry's next version; its body, equal to the stored one, stays
  // in the same file. The entry did not change between the two records: they share
  // it, and the store's next version left the first record's snapshot as it was.
  ASSERT_NE(records[1]->m_pCacheInfoBefore, nullptr);
  EXPECT_EQ(records[1]->m_pCacheInfoBefore, records[0]->m_pCacheInfoAfter);
  ASSERT_NE(records[1]->m_pCacheInfoAfter, nullptr);
  const CacheEntrySnapshot& second = *records[1]->m_pCacheInfoAfter;
  EXPECT_EQ(second.UseCount, 2u);
  EXPECT_EQ(second.HitRate, 1u);
  EXPECT_EQ(second.LastSyncTime, After(60));
  EXPECT_EQ(second.ExpireTime, After(660));
  EXPECT_EQ(second.LocalFileName, first.LocalFileName);
  EXPECT_EQ(store.ReadFileBytes(second.LocalFileName, 1000), "body{}");
  EXPECT_EQ(store.ReadFileBytes(second.LocalFileName, 4), "body");

  // A small body kept in memory too, followed by one that parts from it after five
  // bytes, and by one that is only its start: each gets its own file, whole.
  for (const std::string body : {"body{x}", "body"}) {
    origin.SetResponse("/site.css", "HTTP/1.1 200 OK\r\nCache-Control: max-age=600\r\n", body);
    EXPECT_EQ(Fetch(harness, url), body);
    const auto changedSmall = Snapshot(store, url);
    ASSERT_NE(changedSmall, nullptr);
    EXPECT_NE(changedSmall->LocalFileName, first.LocalFileName);
    EXPECT_EQ(store.ReadFileBytes(changedSmall->LocalFileName, 1000), body);
  }

  // A body that differs, here only in its last byte, gets a file of its own; the
  // older one is gone, and a record naming it reads nothing rather than the new body.
  const std::string large(300000, 'a');
  std::string changed = large;
  changed.back() = 'b';
  origin.SetResponse("/site.css", "HTTP/1.1 200 OK\r\nCache-Control: max-age=600\r\n", large);
  EXPECT_EQ(Fetch(harness, url), large);
  const auto third = Snapshot(store, url);
  ASSERT_NE(third, nullptr);
  EXPECT_NE(third->LocalFileName, first.LocalFileName);
  EXPECT_EQ(store.ReadFileBytes(first.LocalFileName, 1000), std::nullopt);
  EXPECT_FALSE(fs::exists(ToUtf8(first.LocalFileName)));
  origin.SetResponse("/site.css", "HTTP/1.1 200 OK\r\nCache-Control: max-age=600\r\n", changed);
  EXPECT_EQ(Fetch(harness, url), changed);
  const auto fourth = Snapshot(store, url);
  ASSERT_NE(fourth, nullptr);
  EXPECT_NE(fourth->LocalFileName, third->LocalFileName);
  EXPECT_EQ(store.ReadFileBytes(fourth->LocalFileName, 1 << 20), changed);
  EXPECT_EQ(fourth->UseCount, 6u);
  EXPECT_EQ(BodyFiles(store, fixture.temp / "store"), 1u);
  EXPECT_EQ(store.StoredBytes(), changed.size());
}

TEST(ResponseStore, ANotModifiedAnswerRefreshesTheStoredHeadersAndTimes) {
  StoreFixture fixture;
  TestOrigin origin;
  origin.SetResponse("/app.js",
                     "HTTP/1.1 200 OK\r\nContent-Type: text/javascript\r\nETag: \"v1\"\r\nCache-Control: no-cache\r\n",
                     "var a;");
  RecorderHarness harness(TestProxyOptions(), fixture.Settings());
  const std::string url = origin.Url("/app.js");
  fixture.now.Set(0);
  Fetch(harness, url);
  origin.SetResponse("/app.js", "HTTP/1.1 304 Not Modified\r\nETag: \"v2\"\r\nCache-Control: max-age=30\r\n", "");
  fixture.now.Set(100);
  EXPECT_EQ(Fetch(harness, "-H 'If-None-Match: \"v1\"' " + url), "");
  const auto& records = harness.WaitForFinished(2);
  ASSERT_EQ(records.size(), 2u);
  ASSERT_NE(records[1]->m_pCacheInfoBefore, nullptr);
  ASSERT_NE(records[1]->m_pCacheInfoAfter, nullptr);
  const CacheEntrySnapshot& before = *records[1]->m_pCacheInfoBefore;
  const CacheEntrySnapshot& after = *records[1]->m_pCacheInfoAfter;
  EXPECT_EQ(before, *records[0]->m_pCacheInfoAfter);
  EXPECT_EQ(before.ExpireTime, FileTime{});  // no-cache without a lifetime
  // The 304's fields replace the stored ones; its own length does not.
  EXPECT_EQ(after.HeaderInfo, u"HTTP/1.1 200 OK\r\nContent-Type: text/javascript\r\nETag: \"v2\"\r\n"
                              u"Cache-Control: max-age=30\r\nContent-Length: 6\r\n\r\n");
  EXPECT_EQ(after.LastSyncTime, After(100));
  EXPECT_EQ(after.LastAccessTime, After(100));
  EXPECT_EQ(after.ExpireTime, After(130));
  EXPECT_EQ(after.UseCount, 2u);
  EXPECT_EQ(after.HitRate, 1u);
  EXPECT_EQ(after.LocalFileName, before.LocalFileName);  // the same body
  EXPECT_EQ(harness.Recorder().Store()->ReadFileBytes(after.LocalFileName, 100), "var a;");
}

TEST(ResponseStore, ResponsesACacheMustNotKeepAreNeverStored) {
  StoreFixture fixture;
  TestOrigin origin;
  origin.SetResponse("/secret", "HTTP/1.1 200 OK\r\nCache-Control: max-age=60, no-store\r\n", "pin");
  origin.SetResponse("/form", "HTTP/1.1 200 OK\r\nCache-Control: max-age=60\r\n", "form");
  RecorderHarness harness(TestProxyOptions(), fixture.Settings());
  CResponseStore& store = *harness.Recorder().Store();
  EXPECT_EQ(Fetch(harness, origin.Url("/secret")), "pin");
  Fetch(harness, "-H 'Cache-Control: no-store' " + origin.Url("/hello"));
  Fetch(harness, origin.Url("/reset"));  // cut off after 10 of 100 bytes
  Fetch(harness, origin.Url("/form"));
  ASSERT_NE(Snapshot(store, origin.Url("/form")), nullptr);
  Fetch(harness, "-d x=1 " + origin.Url("/form"));  // a POST makes it stale
  const auto& records = harness.WaitForFinished(5);
  ASSERT_EQ(records.size(), 5u);
  for (const std::size_t i : {0u, 1u, 2u, 4u}) {
    EXPECT_EQ(records[i]->m_pCacheInfoAfter, nullptr) << records[i]->m_strUrl.size();
  }
  EXPECT_NE(records[4]->m_pCacheInfoBefore, nullptr);
  EXPECT_EQ(BodyFiles(store, fixture.temp / "store"), 0u);
  EXPECT_EQ(store.StoredBytes(), 0u);
  EXPECT_TRUE(fixture.faults.empty());
}

TEST(ResponseStore, TheSizeBoundEvictsTheLeastRecentlyUsedFirst) {
  StoreFixture fixture;
  TestOrigin origin;
  for (const char* path : {"/a", "/b", "/c"}) {
    origin.SetResponse(path, "HTTP/1.1 200 OK\r\nCache-Control: max-age=600\r\n", std::string(100, path[1]));
  }
  RecorderHarness harness(TestProxyOptions(), fixture.Settings(250));
  CResponseStore& store = *harness.Recorder().Store();
  for (const char* path : {"/a", "/b", "/a", "/c"}) Fetch(harness, origin.Url(path));
  EXPECT_NE(Snapshot(store, origin.Url("/a")), nullptr);
  EXPECT_EQ(Snapshot(store, origin.Url("/b")), nullptr);
  EXPECT_NE(Snapshot(store, origin.Url("/c")), nullptr);
  EXPECT_EQ(store.StoredBytes(), 200u);
  EXPECT_EQ(BodyFiles(store, fixture.temp / "store"), 2u);
}

TEST(ResponseStore, EntriesSurviveARestartAndDamagedOnesAreSkipped) {
  StoreFixture fixture;
  TestOrigin origin;
  origin.SetResponse("/one.css", "HTTP/1.1 200 OK\r\nCache-Control: max-age=600\r\n", "one");
  origin.SetResponse("/two.css", "HTTP/1.1 200 OK\r\nCache-Control: max-age=600\r\n", "two");
  origin.SetResponse("/three.css", "HTTP/1.1 200 OK\r\nCache-Control: max-age=600\r\n", "three");
  SharedCacheEntry one;
  {
    RecorderHarness harness(TestProxyOptions(), fixture.Settings());
    for (const char* path : {"/one.css", "/two.css", "/three.css"}) Fetch(harness, origin.Url(path));
    one = Snapshot(*harness.Recorder().Store(), origin.Url("/one.css"));
    ASSERT_NE(one, nullptr);
    // Three's body is cut short behind the store's back.
    const auto three = Snapshot(*harness.Recorder().Store(), origin.Url("/three.css"));
    ASSERT_NE(three, nullptr);
    harness.Recorder().Store()->Settle();
    WriteWholeFile(ToUtf8(three->LocalFileName), "thr");
  }
  // Damage two's line, and add a line that is no entry at all.
  const fs::path index = fixture.temp / "store" / "index";
  std::string text = ReadWholeFile(index);
  const std::size_t two = text.find("/two.css\t");
  ASSERT_NE(two, std::string::npos);
  text.insert(text.find('\t', text.find('\t', two + 9) + 1) + 1, "x");
  WriteWholeFile(index, text + "garbage\tline\n");
  {
    RecorderHarness harness(TestProxyOptions(), fixture.Settings());
    CResponseStore& store = *harness.Recorder().Store();
    EXPECT_EQ(fixture.faults, std::vector<std::string>{"skipped 3 damaged entries of " + index.string()});
    const auto kept = Snapshot(store, origin.Url("/one.css"));
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(*kept, *one);
    EXPECT_EQ(store.ReadFileBytes(kept->LocalFileName, 10), "one");
    EXPECT_EQ(Snapshot(store, origin.Url("/two.css")), nullptr);
    EXPECT_EQ(Snapshot(store, origin.Url("/three.css")), nullptr);
    EXPECT_EQ(BodyFiles(store, fixture.temp / "store"), 1u);  // the skipped entries' bodies went too
    Fetch(harness, origin.Url("/one.css"));
    const auto& records = harness.WaitForFinished(1);
    ASSERT_EQ(records.size(), 1u);
    ASSERT_NE(records[0]->m_pCacheInfoBefore, nullptr);
    EXPECT_EQ(*records[0]->m_pCacheInfoBefore, *one);
  }
  // An index that is not one at all: an empty store, and traffic as ever.
  WriteWholeFile(index, "not an index\n");
  fixture.faults.clear();
  RecorderHarness harness(TestProxyOptions(), fixture.Settings());
  EXPECT_EQ(fixture.faults,
            std::vector<std::string>{index.string() + " is not a response store index; the store starts empty"});
  EXPECT_EQ(Snapshot(*harness.Recorder().Store(), origin.Url("/one.css")), nullptr);
  EXPECT_EQ(Fetch(harness, origin.Url("/two.css")), "two");
  EXPECT_NE(Snapshot(*harness.Recorder().Store(), origin.Url("/two.css")), nullptr);
}

TEST(ResponseStore, AStoreThatCannotKeepAResponseStillForwardsItByteForByte) {
  StoreFixture fixture;
  TestOrigin origin;
  const std::string big = origin.Url("/big?1048576");
  const std::string small = origin.Url("/big?500");
  {
    // Larger than the whole store: forwarded, not kept.
    RecorderHarness harness(TestProxyOptions(), fixture.Settings(1000));
    EXPECT_EQ(Fetch(harness, big), std::string(1048576, 'x'));
    EXPECT_EQ(Fetch(harness, small), std::string(500, 'x'));
    EXPECT_EQ(Snapshot(*harness.Recorder().Store(), big), nullptr);
    EXPECT_NE(Snapshot(*harness.Recorder().Store(), small), nullptr);
    // A second store on the same folder (another Tracewell) keeps nothing.
    std::vector<std::string> said;
    CResponseStore second({fixture.temp / "store", 1000, [&](std::string_view line) { said.emplace_back(line); }, {}});
    EXPECT_EQ(Snapshot(second, small), nullptr);
    EXPECT_EQ(said, std::vector<std::string>{"the response store in " + (fixture.temp / "store").string() +
                                             " is in use by another Tracewell; this one stores no responses"});
  }
  // A folder that cannot be made: said once, and everything forwarded as ever.
  WriteWholeFile(fixture.temp / "file", "");
  StoreSettings settings = fixture.Settings();
  settings.directory = fixture.temp / "file" / "store";
  RecorderHarness harness(TestProxyOptions(), settings);
  EXPECT_EQ(Fetch(harness, big), std::string(1048576, 'x'));
  EXPECT_EQ(Fetch(harness, small), std::string(500, 'x'));
  const auto& records = harness.WaitForFinished(2);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1]->m_pCacheInfoAfter, nullptr);
  ASSERT_EQ(fixture.faults.size(), 1u);
  EXPECT_TRUE(fixture.faults[0].starts_with("cannot make the response store in " + settings.directory.string()))
      << fixture.faults[0];
}

TEST(ResponseStore, TheCacheManagerEnumeratesReadsCopiesAndDeletesEntries) {
  StoreFixture fixture;
  TestOrigin origin;
  origin.SetResponse("/x/a.png", "HTTP/1.1 200 OK\r\nCache-Control: max-age=60\r\n", "PNG-A");
  origin.SetResponse("/y/b", "HTTP/1.1 200 OK\r\nCache-Control: max-age=60\r\n", "B");
  RecorderHarness harness(TestProxyOptions(), fixture.Settings());
  CResponseStore& store = *harness.Recorder().Store();
  Fetch(harness, origin.Url("/x/a.png"));
  Fetch(harness, origin.Url("/y/b"));

  // The buffer contract: too little room gives the room needed, and the entry stays next.
  CacheEntrySnapshot entry;
  std::uint32_t size = 0;
  CacheFindHandle handle = 0;
  EXPECT_EQ(store.FindFirstUrlCacheEntry(std::nullopt, entry, size, handle),
            (CacheFindResult{CacheQueryStatus::kInsufficientBuffer, 0}));
  const auto a = Snapshot(store, origin.Url("/x/a.png"));
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(size, CacheEntryRecordSize(*a));
  EXPECT_EQ(store.FindFirstUrlCacheEntry(std::nullopt, entry, size, handle), CacheFindResult{});
  EXPECT_EQ(entry, *a);
  size = 0;
  EXPECT_EQ(store.FindNextUrlCacheEntry(handle, entry, size).status, CacheQueryStatus::kInsufficientBuffer);
  EXPECT_EQ(store.FindNextUrlCacheEntry(handle, entry, size), CacheFindResult{});
  EXPECT_EQ(entry.SourceUrlName, FromCodePage(origin.Url("/y/b")));
  EXPECT_EQ(store.FindNextUrlCacheEntry(handle, entry, size), (CacheFindResult{CacheQueryStatus::kNoMoreItems, 0}));
  store.FindCloseUrlCache(handle);
  EXPECT_EQ(store.FindNextUrlCacheEntry(handle, entry, size), (CacheFindResult{CacheQueryStatus::kFailed, 6}));

  // A pattern is a prefix of the URL, without case.
  std::vector<std::u16string> found;
  FakeMessageBox messages;
  EXPECT_TRUE(EnumerateCache(store, FromCodePage("HTTP://127.0.0.1:" + std::to_string(origin.Port()) + "/Y/"),
                             [&](CacheEntrySnapshot&& e) { found.push_back(e.SourceUrlName); }, messages));
  EXPECT_EQ(found, std::vector<std::u16string>{FromCodePage(origin.Url("/y/b"))});
  EXPECT_TRUE(EnumerateCache(store, u"Cookie:", [&](CacheEntrySnapshot&&) { FAIL(); }, messages));

  const fs::path copy = fixture.temp / "a.png";
  EXPECT_EQ(store.CopyFileReplacing(a->LocalFileName, FromUtf8(copy.string())), std::nullopt);
  EXPECT_EQ(ReadWholeFile(copy), "PNG-A");
  const std::u16string foreign = FromUtf8(copy.string());
  EXPECT_EQ(store.ReadFileBytes(foreign, 100), std::nullopt);  // not a body of the store
  EXPECT_EQ(store.CopyFileReplacing(foreign, FromUtf8((fixture.temp / "b").string())), 2u);

  store.DeleteUrlCacheEntry(a->SourceUrlName);
  EXPECT_EQ(Snapshot(store, origin.Url("/x/a.png")), nullptr);
  store.Settle();
  EXPECT_FALSE(fs::exists(ToUtf8(a->LocalFileName)));
  EXPECT_EQ(store.StoredBytes(), 1u);
}

TEST(ResponseStore, BodiesTooLargeToKeepInMemoryGoToTheirFilesChunkByChunk) {
  StoreFixture fixture;
  TestOrigin origin;
  RecorderHarness harness(TestProxyOptions(), fixture.Settings(64 << 20));
  CResponseStore& store = *harness.Recorder().Store();
  const std::string url = origin.Url("/large.bin");
  const std::string large(3 << 20, 'a');
  std::string changedLast = large;
  changedLast.back() = 'b';
  const std::string start = changedLast.substr(0, (5 << 20) / 2);
  // A new body, then one equal to it but for its last byte (its equal start copied
  // from the stored file), then one that is only the stored body's start, then that
  // one again (equal: the same file).
  std::vector<std::u16string> files;
  for (const std::string* body : std::initializer_list<const std::string*>{&large, &changedLast, &start, &start}) {
    origin.SetResponse("/large.bin", "HTTP/1.1 200 OK\r\nCache-Control: max-age=600\r\n", *body);
    ASSERT_EQ(Fetch(harness, url), *body);
    const auto& records = harness.WaitForFinished(files.size() + 1);
    ASSERT_EQ(records.size(), files.size() + 1);
    ASSERT_NE(records.back()->m_pCacheInfoAfter, nullptr);
    const CacheEntrySnapshot& after = *records.back()->m_pCacheInfoAfter;
    EXPECT_EQ(after.SizeLow, body->size());
    EXPECT_EQ(store.ReadFileBytes(after.LocalFileName, 8 << 20), *body);
    files.push_back(after.LocalFileName);
  }
  EXPECT_NE(files[1], files[0]);
  EXPECT_NE(files[2], files[1]);
  EXPECT_EQ(files[3], files[2]);
  EXPECT_EQ(BodyFiles(store, fixture.temp / "store"), 1u);
  EXPECT_TRUE(fixture.faults.empty());
}

TEST(ResponseStore, ABodyThatWouldLeaveTooMuchWaitingForTheDiskIsNotStoredAndSaidOnce) {
  StoreFixture fixture;
  TestOrigin origin;
  StoreSettings settings = fixture.Settings();
  settings.pendingBytes = 100;
  RecorderHarness harness(TestProxyOptions(), settings);
  CResponseStore& store = *harness.Recorder().Store();
  const std::string big = origin.Url("/big?500");
  const std::string small = origin.Url("/big?50");
  EXPECT_EQ(Fetch(harness, big), std::string(500, 'x'));
  EXPECT_EQ(Fetch(harness, big), std::string(500, 'x'));
  EXPECT_EQ(Fetch(harness, small), std::string(50, 'x'));
  const auto& records = harness.WaitForFinished(3);
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0]->m_pCacheInfoAfter, nullptr);
  EXPECT_EQ(records[1]->m_pCacheInfoAfter, nullptr);
  ASSERT_NE(records[2]->m_pCacheInfoAfter, nullptr);
  EXPECT_EQ(store.ReadFileBytes(records[2]->m_pCacheInfoAfter->LocalFileName, 100), std::string(50, 'x'));
  EXPECT_EQ(fixture.faults, std::vector<std::string>{"response bodies came faster than " +
                                                     (fixture.temp / "store").string() +
                                                     " took them; a response whose body would leave more than "
                                                     "100 bytes waiting to be written is not stored"});
  EXPECT_EQ(BodyFiles(store, fixture.temp / "store"), 1u);
}

TEST(ResponseStore, AnEntryWhoseBodyCannotBeWrittenGoesFromTheStore) {
  StoreFixture fixture;
  TestOrigin origin;
  origin.SetResponse("/gone.css", "HTTP/1.1 200 OK\r\nCache-Control: max-age=600\r\n", "gone{}");
  RecorderHarness harness(TestProxyOptions(), fixture.Settings());
  CResponseStore& store = *harness.Recorder().Store();
  // The folder goes away behind the store's back: the body file cannot be made.
  fs::remove_all(fixture.temp / "store");
  EXPECT_EQ(Fetch(harness, origin.Url("/gone.css")), "gone{}");
  const auto& records = harness.WaitForFinished(1);
  ASSERT_EQ(records.size(), 1u);
  // The entry is made as the response ends, and goes once the file worker finds that
  // it cannot keep the body: the record shows it when the worker had not got there yet.
  const CacheEntrySnapshot* after = records[0]->m_pCacheInfoAfter.get();
  if (after != nullptr) {
    EXPECT_EQ(after->SizeLow, 6u);
  }
  store.Settle();
  EXPECT_EQ(Snapshot(store, origin.Url("/gone.css")), nullptr);
  EXPECT_EQ(store.StoredBytes(), 0u);
  if (after != nullptr) {
    EXPECT_EQ(store.ReadFileBytes(after->LocalFileName, 100), std::nullopt);
  }
  ASSERT_FALSE(fixture.faults.empty());
  EXPECT_EQ(fixture.faults[0], "cannot create a body file in " + (fixture.temp / "store").string() +
                                   ": No such file or directory; such responses are not stored");
}

}  // namespace
}  // namespace tracewell::testing
