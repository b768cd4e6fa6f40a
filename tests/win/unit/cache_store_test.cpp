// The WinINet URL cache as the capture snapshots and the cache manager read it:
// entries made with WinINet's own calls, read back field by field.

#include <windows.h>

#include <gtest/gtest.h>
#include <wininet.h>

#include <algorithm>
#include <string>
#include <vector>

#include "capture/wininet_cache_store.h"

namespace tracewell::win {
namespace {

constexpr FILETIME kLastModified = {0x5F4C8000, 0x01D9A1B2};
// The cache keeps expiry times to two seconds (a DOS date and time): 2030-01-02 03:04:06.
constexpr FILETIME kExpires = {0x825D5700, 0x01E0F7A3};
constexpr wchar_t kHeaders[] = L"HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n";

std::u16string U16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

std::uint64_t Ticks(const FILETIME& time) {
  return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

// An entry of the machine's cache for as long as the test needs it.
class CCachedUrl {
 public:
  CCachedUrl(std::wstring url, const std::string& body) : m_url(std::move(url)) {
    wchar_t file[MAX_PATH] = {};
    EXPECT_TRUE(CreateUrlCacheEntryW(m_url.c_str(), static_cast<DWORD>(body.size()), L"html", file, 0));
    m_file = file;
    const HANDLE handle = CreateFileW(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(handle, body.data(), static_cast<DWORD>(body.size()), &written, nullptr);
    CloseHandle(handle);
    EXPECT_TRUE(CommitUrlCacheEntryW(m_url.c_str(), file, kExpires, kLastModified, NORMAL_CACHE_ENTRY,
                                     const_cast<wchar_t*>(kHeaders), static_cast<DWORD>(wcslen(kHeaders)),
                                     L"html", nullptr));
  }
  ~CCachedUrl() { DeleteUrlCacheEntryW(m_url.c_str()); }
  CCachedUrl(const CCachedUrl&) = delete;
  CCachedUrl& operator=(const CCachedUrl&) = delete;

  std::u16string Url() const { return U16(m_url); }
  std::u16string File() const { return U16(m_file); }

 private:
  std::wstring m_url;
  std::wstring m_file;
};

TEST(WinInetCacheStore, SnapshotHoldsTheEntrysFields) {
  CCachedUrl cached(L"http://127.0.0.1:9/tracewell-test/page.html", "<html>twelve</html>");
  CWinInetCacheStore store;
  const auto entry = TakeCacheSnapshot(store, cached.Url());
  ASSERT_NE(nullptr, entry);
  EXPECT_EQ(cached.Url(), entry->SourceUrlName);
  EXPECT_EQ(cached.File(), entry->LocalFileName);
  EXPECT_EQ(DWORD{NORMAL_CACHE_ENTRY}, entry->CacheEntryType & NORMAL_CACHE_ENTRY);
  EXPECT_EQ(19u, entry->SizeLow);
  EXPECT_EQ(Ticks(kLastModified), entry->LastModifiedTime.ticks);
  EXPECT_EQ(Ticks(kExpires), entry->ExpireTime.ticks);
  EXPECT_EQ(U16(kHeaders), entry->HeaderInfo);
  EXPECT_EQ(u"html", entry->FileExtension);
}

TEST(WinInetCacheStore, AsksForTheSizeFirstAndRefusesABufferTooSmallOrTooLarge) {
  CCachedUrl cached(L"http://127.0.0.1:9/tracewell-test/sized.html", "body");
  CWinInetCacheStore store;
  std::uint32_t size = 0;
  ASSERT_EQ(CacheQueryStatus::kInsufficientBuffer, store.GetUrlCacheEntryInfo(cached.Url(), nullptr, size));
  EXPECT_GT(size, sizeof(INTERNET_CACHE_ENTRY_INFOW));

  CacheEntrySnapshot entry;
  std::uint32_t tooSmall = sizeof(INTERNET_CACHE_ENTRY_INFOW);
  EXPECT_EQ(CacheQueryStatus::kInsufficientBuffer, store.GetUrlCacheEntryInfo(cached.Url(), &entry, tooSmall));
  EXPECT_EQ(size, tooSmall);
  EXPECT_EQ(CacheQueryStatus::kOk, store.GetUrlCacheEntryInfo(cached.Url(), &entry, size));
  EXPECT_EQ(cached.Url(), entry.SourceUrlName);

  std::uint32_t tooLarge = CWinInetCacheStore::kLargestEntry + 1;
  EXPECT_EQ(CacheQueryStatus::kFailed, store.GetUrlCacheEntryInfo(cached.Url(), &entry, tooLarge));
}

TEST(WinInetCacheStore, UncachedOrDeletedUrlHasNoSnapshot) {
  CWinInetCacheStore store;
  std::uint32_t size = 0;
  EXPECT_EQ(CacheQueryStatus::kFailed,
            store.GetUrlCacheEntryInfo(u"http://127.0.0.1:9/tracewell-test/never.html", nullptr, size));
  EXPECT_EQ(nullptr, TakeCacheSnapshot(store, u"http://127.0.0.1:9/tracewell-test/never.html"));

  CCachedUrl cached(L"http://127.0.0.1:9/tracewell-test/deleted.html", "gone soon");
  ASSERT_NE(nullptr, TakeCacheSnapshot(store, cached.Url()));
  store.DeleteUrlCacheEntry(cached.Url());
  EXPECT_EQ(nullptr, TakeCacheSnapshot(store, cached.Url()));
}

TEST(WinInetCacheStore, EnumeratesEveryEntryAfterTheSizeIsKnown) {
  CCachedUrl first(L"http://127.0.0.1:9/tracewell-test/first.html", "1");
  CCachedUrl second(L"http://127.0.0.1:9/tracewell-test/second.html", "22");
  CWinInetCacheStore store;
  CacheEntrySnapshot entry;
  CacheFindHandle handle = 0;
  std::uint32_t size = sizeof(INTERNET_CACHE_ENTRY_INFOW);
  CacheFindResult result = store.FindFirstUrlCacheEntry(std::nullopt, entry, size, handle);
  ASSERT_EQ(CacheQueryStatus::kInsufficientBuffer, result.status);
  EXPECT_GT(size, sizeof(INTERNET_CACHE_ENTRY_INFOW));

  std::vector<std::u16string> urls;
  size = 4096;
  result = store.FindFirstUrlCacheEntry(std::nullopt, entry, size, handle);
  ASSERT_EQ(CacheQueryStatus::kOk, result.status);
  while (result.status == CacheQueryStatus::kOk) {
    urls.push_back(entry.SourceUrlName);
    result = store.FindNextUrlCacheEntry(handle, entry, size);
  }
  store.FindCloseUrlCache(handle);
  EXPECT_EQ((CacheFindResult{CacheQueryStatus::kNoMoreItems, 0}), result);
  EXPECT_NE(urls.end(), std::find(urls.begin(), urls.end(), first.Url()));
  EXPECT_NE(urls.end(), std::find(urls.begin(), urls.end(), second.Url()));
}

}  // namespace
}  // namespace tracewell::win
