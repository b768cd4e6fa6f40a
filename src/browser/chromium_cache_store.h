#pragma once
// The launched Chromium's own disk cache (its "simple" backend, one file per entry),
// read-only, as the cache store of the records the browser makes: the capture
// engine's before and after snapshots, the cookie and cache manager's enumeration,
// and the bodies behind the snapshots' local file names.
//
// Entries are found by URL through a map from each entry file to the URL in its key.
// The map is brought up to date when the folder has changed since it was listed (a
// listing taken soon after a change is taken again, at most ten times a second, since
// a file may have come in the same instant); only files not seen before are opened,
// and only their first bytes. A query then reads the few files stored under its URL.
//
// The browser writes entries while it runs; a file it has not finished is skipped.
// Entries are deleted only while the browser is not running. Entry files of a format
// version this program cannot read count as not cached; the reason goes to the fault
// handler once.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "cache/cache_entry_store.h"
#include "cache/cache_enumerations.h"
#include "cache/cache_files.h"
#include "capture/cache_store.h"
#include "chromium_cache/entry_fault.h"

namespace tracewell::browser {

class CChromiumCacheStore final : public ICacheStore, public ICacheEnumerationStore, public ICacheFiles {
 public:
  using FaultHandler = std::function<void(std::string_view reason)>;
  // Entry files larger than this are not read.
  static constexpr std::uintmax_t kLargestEntryFile = 256u << 20;

  CChromiumCacheStore(std::filesystem::path folder, FaultHandler onFault);

  const std::filesystem::path& Folder() const { return m_folder; }
  // While the browser runs (the start), deletion does nothing.
  void SetBrowserRunning(bool running);

  CacheQueryStatus GetUrlCacheEntryInfo(std::u16string_view url, CacheEntrySnapshot* entry,
                                        std::uint32_t& bufferSize) override;

  CacheFindResult FindFirstUrlCacheEntry(std::optional<std::u16string_view> pattern, CacheEntrySnapshot& entry,
                                         std::uint32_t& bufferSize, CacheFindHandle& handle) override;
  CacheFindResult FindNextUrlCacheEntry(CacheFindHandle handle, CacheEntrySnapshot& entry,
                                        std::uint32_t& bufferSize) override;
  void FindCloseUrlCache(CacheFindHandle handle) override;
  void DeleteUrlCacheEntry(std::u16string_view name) override;

  std::optional<std::string> ReadFileBytes(std::u16string_view path, std::size_t maxBytes) override;
  std::optional<std::uint32_t> CopyFileReplacing(std::u16string_view from, std::u16string_view to) override;

 private:
  struct Enumeration {
    std::vector<std::string> files;
    std::size_t position = 0;
  };

  // Brings the file → URL map up to date.
  void Refresh();
  void Forget(const std::string& file);
  // Reads the URL of a file not known yet; false when it cannot be read now.
  bool Learn(const std::string& file);
  std::optional<CacheEntrySnapshot> SnapshotOfFile(const std::string& file);
  std::optional<CacheEntrySnapshot> Lookup(std::u16string_view url);
  // The body a name of MakeBodyName stands for, when it is this store's and current.
  std::optional<std::string> BodyOf(std::u16string_view localFileName);
  CacheFindResult Offer(Enumeration& enumeration, CacheEntrySnapshot& entry, std::uint32_t& bufferSize);
  // Keeps the first version fault for the handler; FlushFault hands it over.
  void Note(const chromium_cache::EntryFault& fault);
  void FlushFault();

  const std::filesystem::path m_folder;
  const FaultHandler m_onFault;
  std::mutex m_mutex;
  bool m_browserRunning = true;
  std::map<std::string, std::string> m_urlOfFile;  // entry file name → URL ("" : unreadable)
  std::vector<std::string> m_unread;               // listed, not readable yet
  std::unordered_multimap<std::string, std::string> m_filesOfUrl;
  std::filesystem::file_time_type m_listedChange{};
  std::filesystem::file_time_type m_listedAt{};
  CCacheEnumerations<Enumeration> m_enumerations;
  bool m_faultNoted = false;
  std::optional<std::string> m_pendingFault;
};

}  // namespace tracewell::browser
