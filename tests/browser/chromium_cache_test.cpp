// The launched browser's disk cache read back: entry files written by a real headless
// Chromium (launched once for this test binary against the tests' origin on
// 127.0.0.1), the same files damaged by hand, and the store over the cache folder.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <set>

#include "browse_runner.h"
#include "cache/enumerate_cache.h"
#include "chromium_cache/checksums.h"
#include "chromium_cache/disk_entry_snapshot.h"
#include "chromium_cache/response_info.h"
#include "chromium_cache/simple_entry.h"
#include "chromium_cache_store.h"
#include "http_text/header_block.h"
#include "support/fake_message_box.h"
#include "support/temp_dir.h"
#include "support/test_origin.h"
#include "text/utf8.h"

namespace tracewell::testing {
namespace {

namespace fs = std::filesystem;
namespace cc = chromium_cache;
using namespace std::chrono_literals;
using browser::CChromiumCacheStore;

constexpr std::string_view kStyle = "p { color: teal }\n";
constexpr std::string_view kLogo = "\x89PNG\r\n\x1a\n";

// Microseconds since 1601-01-01 UTC, the browser's clock.
std::int64_t BrowserNow() {
  constexpr std::int64_t kMicrosFrom1601To1970 = 11'644'473'600'000'000;
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::system_clock::now().time_since_epoch()).count() + kMicrosFrom1601To1970;
}

FileTime Utc(std::uint16_t year, std::uint16_t month, std::uint16_t day, std::uint16_t hour,
             std::uint16_t minute, std::uint16_t second) {
  return *SystemTimeToFileTime({year, month, 0, day, hour, minute, second, 0});
}

// A cache the browser wrote: a page with a style sheet and a picture, loaded once,
// the browser closed so that every entry is on disk.
struct RealCache {
  TempDir dir;
  TestOrigin origin;
  std::int64_t launched = 0;
  std::int64_t closed = 0;
  std::string launchError;

  RealCache() {
    origin.SetResponse("/c/page.html", "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nCache-Control: no-store\r\n",
                       "<link rel=stylesheet href=/c/style.css><img src=/c/logo.png>");
    origin.SetResponse("/c/style.css",
                       "HTTP/1.1 200 OK\r\nContent-Type: text/css\r\nCache-Control: max-age=600\r\n"
                       "Last-Modified: Tue, 01 Dec 2026 10:00:00 GMT\r\n",
                       std::string(kStyle));
    origin.SetResponse("/c/logo.png",
                       "HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nExpires: Thu, 31 Dec 2037 23:59:59 GMT\r\n",
                       std::string(kLogo));
    CSchemeBindings bindings;  // nothing registered: the browser is not recorded
    browser::CBrowseRunner runner(bindings, {}, {});
    const auto profile = browser::CBrowserProfile::Kept(dir / "profile");
    launched = BrowserNow();
    if (const auto error = runner.Start(
            browser::LaunchSettings::For(std::get<browser::CBrowserProfile>(profile), true, true), 30s)) {
      launchError = *error;
      return;
    }
    if (runner.Load(origin.Url("/c/page.html"), 30s) != browser::CBrowseRunner::LoadResult::kSettled) {
      launchError = "the page did not load";
    }
    runner.Close(3000ms);
    closed = BrowserNow();
  }
  fs::path Folder() const { return dir / "profile/Default/Cache/Cache_Data"; }
  // The entry file holding `path`'s response.
  fs::path EntryOf(std::string_view path) const {
    for (const auto& item : fs::directory_iterator(Folder())) {
      if (!item.is_regular_file()) continue;
      const std::string bytes = ReadWholeFile(item.path());
      const auto key = cc::ParseEntryKey(bytes);
      if (const auto* text = std::get_if<std::string_view>(&key); text && cc::UrlOfCacheKey(*text) == origin.Url(path)) {
        return item.path();
      }
    }
    return {};
  }
};

const RealCache& Cache() {
  static const RealCache cache;
  return cache;
}

class ChromiumCacheTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Cache().launchError.empty()) << Cache().launchError;
    styleFile = Cache().EntryOf("/c/style.css");
    ASSERT_FALSE(styleFile.empty()) << "no entry for the style sheet";
    style = ReadWholeFile(styleFile);
  }
  // A copy of the cache folder that a test may change.
  fs::path CopyOfCache() {
    fs::copy(Cache().Folder(), m_copy.path() / "Cache_Data", fs::copy_options::recursive);
    return m_copy.path() / "Cache_Data";
  }

  fs::path styleFile;
  std::string style;

 private:
  TempDir m_copy;
};

cc::EntryFault FaultOf(std::string_view bytes) {
  const auto parsed = cc::ParseSimpleEntry(bytes);
  return std::holds_alternative<cc::EntryFault>(parsed) ? std::get<cc::EntryFault>(parsed) : cc::EntryFault{};
}

void PutU32(std::string& bytes, std::size_t offset, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) bytes[offset + i] = static_cast<char>(value >> (8 * i));
}

TEST_F(ChromiumCacheTest, AnEntryFileGivesItsKeyBodyStatusHeadersAndTimes) {
  const auto parsed = cc::ParseSimpleEntry(style);
  ASSERT_TRUE(std::holds_alternative<cc::SimpleEntry>(parsed)) << cc::DescribeEntryFault(FaultOf(style));
  const auto& entry = std::get<cc::SimpleEntry>(parsed);
  EXPECT_EQ(cc::UrlOfCacheKey(entry.key), Cache().origin.Url("/c/style.css"));
  EXPECT_EQ(entry.body, kStyle);

  const auto info = cc::ParseResponseInfo(entry.responseInfo);
  ASSERT_TRUE(std::holds_alternative<cc::ResponseInfo>(info));
  const auto& response = std::get<cc::ResponseInfo>(info);
  EXPECT_EQ(response.statusLine, "HTTP/1.1 200 OK");
  const std::u16string headers = FromUtf8(cc::HeaderBlock(response));
  EXPECT_EQ(FindHeaderValue(headers, u"content-type"), u"text/css");
  EXPECT_EQ(FindHeaderValue(headers, u"Cache-Control"), u"max-age=600");
  EXPECT_EQ(FindHeaderValue(headers, u"Content-Length"), u"18");
  EXPECT_LE(Cache().launched, response.requestTime);
  EXPECT_LE(response.requestTime, response.responseTime);
  EXPECT_LE(response.responseTime, Cache().closed);
}

TEST_F(ChromiumCacheTest, DamagedEntryFilesGiveTheirFaultNeverAGuess) {
  using Kind = cc::EntryFaultKind;
  const std::size_t keyEnd = cc::kEntryHeaderSize + std::get<cc::SimpleEntry>(cc::ParseSimpleEntry(style)).key.size();
  // Cut before the two end records could follow the key.
  for (const std::size_t cut : {std::size_t{0}, std::size_t{10}, cc::kEntryHeaderSize, keyEnd - 1, keyEnd + 47}) {
    EXPECT_EQ(FaultOf(style.substr(0, cut)).kind, Kind::kTruncated) << cut;
  }
  // Cut anywhere after that, the last bytes are no end record.
  EXPECT_EQ(FaultOf(style.substr(0, style.size() - 1)).kind, Kind::kBadMagic);

  std::string damaged = style;
  damaged[0] ^= 1;
  EXPECT_EQ(FaultOf(damaged), (cc::EntryFault{Kind::kBadMagic}));
  damaged = style;
  PutU32(damaged, 8, 6);
  EXPECT_EQ(FaultOf(damaged), (cc::EntryFault{Kind::kUnsupportedVersion, 6}));
  damaged = style;
  PutU32(damaged, 12, 0xFFFFFFF0u);  // key length past the end
  EXPECT_EQ(FaultOf(damaged).kind, Kind::kTruncated);
  damaged = style;
  PutU32(damaged, damaged.size() - 8, 0xFFFFFFF0u);  // stream 0 longer than the file
  EXPECT_EQ(FaultOf(damaged).kind, Kind::kBadLength);
  damaged = style;
  damaged[keyEnd + 2] ^= 1;  // a body byte
  EXPECT_EQ(FaultOf(damaged).kind, Kind::kBadChecksum);
  damaged = style;
  damaged[keyEnd - 1] ^= 1;  // a key byte: its SHA-256 no longer matches
  EXPECT_EQ(FaultOf(damaged).kind, Kind::kBadChecksum);
}

TEST_F(ChromiumCacheTest, DamagedResponseInformationGivesItsFault) {
  const auto entry = std::get<cc::SimpleEntry>(cc::ParseSimpleEntry(style));
  std::string info(entry.responseInfo);
  using Kind = cc::EntryFaultKind;
  const auto faultOf = [](std::string_view bytes) {
    const auto parsed = cc::ParseResponseInfo(bytes);
    return std::holds_alternative<cc::EntryFault>(parsed) ? std::get<cc::EntryFault>(parsed) : cc::EntryFault{};
  };
  std::string damaged = info;
  damaged[4] = 4;  // the version in the flags' low byte
  EXPECT_EQ(faultOf(damaged), (cc::EntryFault{Kind::kUnsupportedInfoVersion, 4}));
  EXPECT_EQ(faultOf(info.substr(0, 30)).kind, Kind::kBadResponseInfo);  // payload size past the end
  damaged = info;
  PutU32(damaged, 0, 30);  // the header block cut off
  EXPECT_EQ(faultOf(damaged).kind, Kind::kBadResponseInfo);
}

TEST_F(ChromiumCacheTest, TheStoreAnswersSnapshotsAndBodiesFromTheBrowsersEntries) {
  CChromiumCacheStore store(Cache().Folder() / "", {});  // a trailing separator changes nothing
  const std::u16string styleUrl = FromUtf8(Cache().origin.Url("/c/style.css"));
  const auto snapshot = TakeCacheSnapshot(store, styleUrl + u"#top");
  ASSERT_NE(snapshot, nullptr);
  const auto response = std::get<cc::ResponseInfo>(
      cc::ParseResponseInfo(std::get<cc::SimpleEntry>(cc::ParseSimpleEntry(style)).responseInfo));
  EXPECT_EQ(snapshot->SourceUrlName, styleUrl);
  EXPECT_EQ(snapshot->LocalFileName,
            FromUtf8(styleFile.string() + "#" + std::to_string(response.responseTime) + ".css"));
  EXPECT_EQ(snapshot->FileExtension, u"css");
  EXPECT_EQ(snapshot->CacheEntryType, 1u);
  EXPECT_EQ(snapshot->SizeLow, 18u);
  EXPECT_EQ(snapshot->LastModifiedTime, Utc(2026, 12, 1, 10, 0, 0));
  EXPECT_EQ(snapshot->LastSyncTime.ticks, static_cast<std::uint64_t>(response.responseTime) * 10);
  EXPECT_EQ(snapshot->ExpireTime.ticks, snapshot->LastSyncTime.ticks + std::uint64_t{600} * 10'000'000);
  // The entry file's modification time: while the browser ran.
  EXPECT_GE(snapshot->LastAccessTime.ticks, static_cast<std::uint64_t>(Cache().launched) * 10);
  EXPECT_LE(snapshot->LastAccessTime.ticks, static_cast<std::uint64_t>(Cache().closed) * 10);
  const std::string headers = ToUtf8(snapshot->HeaderInfo);
  EXPECT_TRUE(headers.starts_with("HTTP/1.1 200 OK\r\n")) << headers;
  EXPECT_NE(headers.find("\r\nContent-Type: text/css\r\n"), std::string::npos) << headers;
  EXPECT_NE(headers.find("\r\nLast-Modified: Tue, 01 Dec 2026 10:00:00 GMT\r\n"), std::string::npos) << headers;
  EXPECT_TRUE(headers.ends_with("\r\n\r\n") && !headers.ends_with("\r\n\r\n\r\n")) << headers;

  EXPECT_EQ(store.ReadFileBytes(snapshot->LocalFileName, 1000), std::string(kStyle));
  EXPECT_EQ(store.ReadFileBytes(snapshot->LocalFileName, 3), "p {");
  EXPECT_EQ(store.ReadFileBytes(FromUtf8(styleFile.string()), 1000), std::nullopt);  // not a name it gave
  EXPECT_EQ(store.ReadFileBytes(u"/etc/passwd#1.css", 1000), std::nullopt);
  TempDir out;
  EXPECT_EQ(store.CopyFileReplacing(snapshot->LocalFileName, FromUtf8((out / "saved.css").string())), std::nullopt);
  EXPECT_EQ(ReadWholeFile(out / "saved.css"), kStyle);

  const auto logo = TakeCacheSnapshot(store, FromUtf8(Cache().origin.Url("/c/logo.png")));
  ASSERT_NE(logo, nullptr);
  // Expires less Date, from the response time, less the response's age on arrival.
  const auto expiresDrift = static_cast<std::int64_t>(logo->ExpireTime.ticks - Utc(2037, 12, 31, 23, 59, 59).ticks);
  EXPECT_LT(std::abs(expiresDrift), 2 * kFileTimeTicksPerSecond) << expiresDrift;
  EXPECT_EQ(logo->LastModifiedTime, FileTime{});
  EXPECT_EQ(store.ReadFileBytes(logo->LocalFileName, 1000), std::string(kLogo));

  EXPECT_EQ(TakeCacheSnapshot(store, FromUtf8(Cache().origin.Url("/c/page.html"))), nullptr);  // no-store
  EXPECT_EQ(TakeCacheSnapshot(store, u"http://127.0.0.1:1/none.css"), nullptr);
}

TEST_F(ChromiumCacheTest, TheStoreEnumeratesItsEntriesAndDeletesOnlyWhenTheBrowserIsNotRunning) {
  CChromiumCacheStore store(CopyOfCache(), {});
  FakeMessageBox messages;
  std::set<std::u16string> urls;
  const auto collect = [&](CacheEntrySnapshot entry) { urls.insert(entry.SourceUrlName); };
  ASSERT_TRUE(EnumerateCache(store, std::nullopt, collect, messages));
  const std::u16string styleUrl = FromUtf8(Cache().origin.Url("/c/style.css"));
  const std::u16string logoUrl = FromUtf8(Cache().origin.Url("/c/logo.png"));
  EXPECT_TRUE(urls.contains(styleUrl) && urls.contains(logoUrl));
  urls.clear();
  ASSERT_TRUE(EnumerateCache(store, u"Cookie:", collect, messages));
  EXPECT_TRUE(urls.empty());
  EXPECT_TRUE(messages.shown.empty());

  store.DeleteUrlCacheEntry(styleUrl);  // the browser still runs
  EXPECT_NE(TakeCacheSnapshot(store, styleUrl), nullptr);
  store.SetBrowserRunning(false);
  store.DeleteUrlCacheEntry(styleUrl);
  EXPECT_EQ(TakeCacheSnapshot(store, styleUrl), nullptr);
  EXPECT_FALSE(fs::exists(store.Folder() / styleFile.filename()));
  EXPECT_NE(TakeCacheSnapshot(store, logoUrl), nullptr);
}

TEST_F(ChromiumCacheTest, NewAndRewrittenEntriesAreSeenAndAnOlderSnapshotNeverShowsANewerBody) {
  TempDir empty;
  const fs::path folder = empty / "Cache_Data";
  fs::create_directory(folder);
  CChromiumCacheStore store(folder, {});
  const std::u16string styleUrl = FromUtf8(Cache().origin.Url("/c/style.css"));
  EXPECT_EQ(TakeCacheSnapshot(store, styleUrl), nullptr);
  fs::copy_file(styleFile, folder / styleFile.filename());
  const auto before = TakeCacheSnapshot(store, styleUrl);
  ASSERT_NE(before, nullptr);

  // The browser stores a newer response in the same file: a later response time.
  std::string rewritten = style;
  const auto entry = std::get<cc::SimpleEntry>(cc::ParseSimpleEntry(style));
  const std::size_t infoAt = static_cast<std::size_t>(entry.responseInfo.data() - style.data());
  const std::size_t responseTimeAt = infoAt + 4 + 4 + 4 + 8;  // size, flags, extra flags, request time
  rewritten[responseTimeAt + 4] = static_cast<char>(rewritten[responseTimeAt + 4] + 1);
  const std::size_t lastRecord = rewritten.size() - cc::kEndRecordSize;
  PutU32(rewritten, lastRecord + 12, cc::Crc32(std::string_view(rewritten).substr(infoAt, entry.responseInfo.size())));
  WriteWholeFile(folder / styleFile.filename(), rewritten);
  const auto after = TakeCacheSnapshot(store, styleUrl);
  ASSERT_NE(after, nullptr);
  EXPECT_GT(after->LastSyncTime, before->LastSyncTime);
  EXPECT_EQ(store.ReadFileBytes(after->LocalFileName, 100), std::string(kStyle));
  EXPECT_EQ(store.ReadFileBytes(before->LocalFileName, 100), std::nullopt);
}

TEST_F(ChromiumCacheTest, AnUnreadableVersionIsNotCachedAndSaidOnce) {
  const fs::path folder = CopyOfCache();
  std::string newer = style;
  PutU32(newer, 8, 6);
  WriteWholeFile(folder / styleFile.filename(), newer);
  std::vector<std::string> faults;
  CChromiumCacheStore store(folder, [&](std::string_view reason) { faults.emplace_back(reason); });
  const std::u16string styleUrl = FromUtf8(Cache().origin.Url("/c/style.css"));
  EXPECT_EQ(TakeCacheSnapshot(store, styleUrl), nullptr);
  EXPECT_EQ(TakeCacheSnapshot(store, styleUrl), nullptr);
  EXPECT_NE(TakeCacheSnapshot(store, FromUtf8(Cache().origin.Url("/c/logo.png"))), nullptr);
  EXPECT_EQ(faults, std::vector<std::string>{
                        "the browser's disk cache cannot be read: the browser's disk cache has entry format "
                        "version 6, which this program cannot read; its cache entries are not shown"});
}

}  // namespace
}  // namespace tracewell::testing
