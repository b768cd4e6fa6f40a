#include "capture/wininet_cache_store.h"

#include <string>

#include "capture/cache_entry_buffer.h"
#include "wide_text.h"

namespace tracewell::win {
namespace {

CacheFindResult Failure(DWORD error) {
  if (error == ERROR_INSUFFICIENT_BUFFER) return {CacheQueryStatus::kInsufficientBuffer, 0};
  if (error == ERROR_NO_MORE_ITEMS) return {CacheQueryStatus::kNoMoreItems, 0};
  return {CacheQueryStatus::kFailed, error};
}

// Runs one WinINet query into a buffer of the declared size: the snapshot on
// success, the size WinINet needs when the buffer is too small.
template <typename Query>
CacheFindResult QueryEntry(CacheEntrySnapshot& entry, std::uint32_t& bufferSize, const Query& query) {
  if (bufferSize > CWinInetCacheStore::kLargestEntry) return {CacheQueryStatus::kFailed, ERROR_NOT_ENOUGH_MEMORY};
  CCacheEntryBuffer buffer(bufferSize);
  DWORD size = buffer.Size();
  if (!query(buffer.Info(), &size)) {
    const DWORD error = GetLastError();
    if (error == ERROR_INSUFFICIENT_BUFFER) bufferSize = size;
    return Failure(error);
  }
  entry = buffer.ToSnapshot();
  return {CacheQueryStatus::kOk, 0};
}

}  // namespace

CacheQueryStatus CWinInetCacheStore::GetUrlCacheEntryInfo(std::u16string_view url,
                                                          CacheEntrySnapshot* entry,
                                                          std::uint32_t& bufferSize) {
  const std::wstring key = Wide(url);
  if (entry == nullptr) {
    DWORD needed = 0;
    if (GetUrlCacheEntryInfoW(key.c_str(), nullptr, &needed)) return CacheQueryStatus::kFailed;
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return CacheQueryStatus::kFailed;
    bufferSize = needed;
    return CacheQueryStatus::kInsufficientBuffer;
  }
  return QueryEntry(*entry, bufferSize, [&](INTERNET_CACHE_ENTRY_INFOW* info, DWORD* size) {
           return GetUrlCacheEntryInfoW(key.c_str(), info, size);
         }).status;
}

CacheFindResult CWinInetCacheStore::FindFirstUrlCacheEntry(std::optional<std::u16string_view> pattern,
                                                           CacheEntrySnapshot& entry,
                                                           std::uint32_t& bufferSize,
                                                           CacheFindHandle& handle) {
  const std::wstring text = pattern ? Wide(*pattern) : std::wstring();
  HANDLE found = nullptr;
  const CacheFindResult result =
      QueryEntry(entry, bufferSize, [&](INTERNET_CACHE_ENTRY_INFOW* info, DWORD* size) {
        found = FindFirstUrlCacheEntryW(pattern ? text.c_str() : nullptr, info, size);
        return found != nullptr;
      });
  if (result.status == CacheQueryStatus::kOk) handle = reinterpret_cast<CacheFindHandle>(found);
  return result;
}

CacheFindResult CWinInetCacheStore::FindNextUrlCacheEntry(CacheFindHandle handle,
                                                          CacheEntrySnapshot& entry,
                                                          std::uint32_t& bufferSize) {
  return QueryEntry(entry, bufferSize, [&](INTERNET_CACHE_ENTRY_INFOW* info, DWORD* size) {
    return FindNextUrlCacheEntryW(reinterpret_cast<HANDLE>(handle), info, size) != FALSE;
  });
}

void CWinInetCacheStore::FindCloseUrlCache(CacheFindHandle handle) {
  ::FindCloseUrlCache(reinterpret_cast<HANDLE>(handle));
}

void CWinInetCacheStore::DeleteUrlCacheEntry(std::u16string_view name) {
  ::DeleteUrlCacheEntryW(Wide(name).c_str());
}

}  // namespace tracewell::win
