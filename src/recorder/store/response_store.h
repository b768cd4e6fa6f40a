#pragma once
// What a private HTTP cache would keep of the responses the proxy forwards: per URL
// the latest storable response, its body in a file of its own, an index that
// survives a restart, a size bound (the least recently used entry goes first). The
// store never answers a request: traffic passes through unchanged, and a store that
// is full, unwritable or damaged only stores less. Its entries are the capture
// engine's cache snapshots and the cookie and cache manager's entries.
//
// Proxy threads write and query it at once; every member function is thread-safe.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "cache/cache_entry_store.h"
#include "cache/cache_enumerations.h"
#include "cache/cache_files.h"
#include "capture/cache_store.h"
#include "http_cache/header_fields.h"
#include "store/store_index.h"

namespace tracewell::store {

// Says once per kind of fault why the store keeps less than it could.
using StoreFaultLog = std::function<void(std::string_view line)>;

inline constexpr std::uint64_t kDefaultStoreBytes = 512ull << 20;
inline constexpr std::size_t kDefaultPendingBytes = 64 << 20;

struct StoreSettings {
  std::filesystem::path directory;
  std::uint64_t maxBytes = kDefaultStoreBytes;  // the bodies together
  StoreFaultLog faultLog;
  // Now, UTC; tests fix it.
  std::function<FileTime()> now;
  // Only reads what another Tracewell keeps there: takes no lock, never writes,
  // stores nothing and makes no folder.
  bool readOnly = false;
  // Body bytes waiting to be written at most: a response that would go beyond is
  // not stored, so that the proxy never waits for the disk.
  std::size_t pendingBytes = kDefaultPendingBytes;
};

// The user's store: "store" in the user's cache folder (see UserCacheDirectory).
StoreSettings DefaultStoreSettings(std::uint64_t maxBytes, StoreFaultLog faultLog);
// The user's store, to read the bodies it keeps.
StoreSettings ReadOnlyStoreSettings(StoreFaultLog faultLog);

// One request as the store sees it.
struct StoreRequest {
  std::u16string url;
  std::u16string method;
  std::u16string headers;  // the header block, read only where a rule needs a field
};

class CResponseStore;
class CFileWorker;
struct PendingBody;

// One response on its way through the proxy: its body bytes are taken as they pass,
// and Complete hands the whole response to the store. Destroyed without Complete
// (the response broke off), it leaves the store as it was. While the body equals the
// one stored for the URL, nothing is written: an equal body keeps the stored file (it
// shows the same bytes to every record that names it). A body that differs goes to
// a file of its own, made and written by the store's file worker: in one piece at
// the end while it is small enough to keep in memory, else chunk by chunk.
class CResponseTee {
 public:
  ~CResponseTee();
  CResponseTee(const CResponseTee&) = delete;
  CResponseTee& operator=(const CResponseTee&) = delete;

  void Write(const char* data, std::size_t size);
  void Complete();

 private:
  friend class CResponseStore;
  CResponseTee(CResponseStore& store, StoreRequest request, std::u16string responseBlock);
  // Whether the next `size` bytes equal the stored body's at this point.
  bool StillEqual(const char* data, std::size_t size);
  // The body so far, kept in memory, parts from the stored one kept in memory: its
  // copy becomes the stored one's start.
  void TakeStoredStart();
  // The new body's own file, given what came so far; false when it cannot be queued.
  bool StartFile();
  // Queues `bytes` for the new body's file; false when the worker has no room.
  bool QueueBytes(std::shared_ptr<const std::string> bytes);
  bool EqualsStoredBody() const { return m_equal && m_written == m_storedSize; }
  void CloseStored();
  // Nothing of this body is kept.
  void Drop();

  CResponseStore& m_store;
  StoreRequest m_request;
  const std::u16string m_responseBlock;
  const HeaderFields m_response;  // views m_responseBlock
  const int m_status;
  bool m_storing = false;  // the response may be stored, and nothing has failed
  // The body so far equals the URL's stored body, open (or kept in memory) for the
  // comparison.
  bool m_equal = false;
  int m_stored = -1;
  std::shared_ptr<const std::string> m_storedCopy;
  std::string m_storedName;
  std::uint64_t m_storedSize = 0;
  std::unique_ptr<char[]> m_compare;  // room for a chunk of the stored body
  std::size_t m_compareSize = 0;
  std::shared_ptr<PendingBody> m_file;  // the new body's file, once queued
  std::uint64_t m_written = 0;
  // The body so far while it is small enough to keep in memory (empty while it
  // equals the stored body kept in memory, which is its copy then).
  std::shared_ptr<std::string> m_copy;
  bool m_collecting = true;
};

class CResponseStore final : public ICacheStore, public ICacheEnumerationStore, public ICacheFiles {
 public:
  // Opens the store in `settings.directory` (made when missing) and reads its index;
  // damaged entries are skipped. A folder that cannot be used, or one that another
  // process has open, leaves the store empty and keeping nothing. Read-only, it
  // reads the index as it is, whoever has the store open.
  explicit CResponseStore(StoreSettings settings);
  // Writes the index.
  ~CResponseStore() override;
  CResponseStore(const CResponseStore&) = delete;
  CResponseStore& operator=(const CResponseStore&) = delete;

  // The response to `request`, whose header block has just come.
  std::unique_ptr<CResponseTee> Begin(StoreRequest request, std::u16string responseBlock);

  // Writes the index now (else it is written at most every few seconds as entries
  // change, and when the store closes). False when it could not be written.
  bool WriteIndex();
  // Returns once the bodies and removals of the responses completed so far are on
  // disk (the entries show them at once; their files follow on the file worker).
  void Settle();

  std::uint64_t StoredBytes() const;
  const std::filesystem::path& Directory() const { return m_settings.directory; }

  CacheQueryStatus GetUrlCacheEntryInfo(std::u16string_view url, CacheEntrySnapshot* entry,
                                        std::uint32_t& bufferSize) override;
  // The entry itself: entries are never changed in place.
  SharedCacheEntry SharedEntry(std::u16string_view url) override;

  CacheFindResult FindFirstUrlCacheEntry(std::optional<std::u16string_view> pattern, CacheEntrySnapshot& entry,
                                         std::uint32_t& bufferSize, CacheFindHandle& handle) override;
  CacheFindResult FindNextUrlCacheEntry(CacheFindHandle handle, CacheEntrySnapshot& entry,
                                        std::uint32_t& bufferSize) override;
  void FindCloseUrlCache(CacheFindHandle handle) override;
  void DeleteUrlCacheEntry(std::u16string_view name) override;

  std::optional<std::string> ReadFileBytes(std::u16string_view path, std::size_t maxBytes) override;
  std::optional<std::uint32_t> CopyFileReplacing(std::u16string_view from, std::u16string_view to) override;

 private:
  friend class CResponseTee;
  struct Enumeration {
    std::vector<std::u16string> urls;
    std::size_t position = 0;
  };

  bool Open();
  void Load();
  void RemoveUnlisted(const std::set<std::string>& listed);
  // A new body file for `url`, not made yet: the file worker makes it with its
  // first bytes.
  std::shared_ptr<PendingBody> NewBodyFile(std::u16string_view url);
  // On the file worker: the body file's next bytes, or its stored start copied from
  // the stored body `stored` (closed then). A failure keeps the file from completing.
  void AppendBody(PendingBody& body, std::string_view bytes);
  void CopyStoredStart(PendingBody& body, int stored, std::uint64_t size);
  // On the file worker: the body file complete under its own name, or, when it could
  // not be written, gone together with the entry that names it.
  void CompleteBody(PendingBody& body, const std::u16string& url);
  // On the file worker: the body file of a response that is not kept, gone.
  void AbandonBody(PendingBody& body);
  // The response whose body has all come (a 304's, none) changes the entry.
  void Finish(CResponseTee& tee);
  void Insert(StoredEntry entry);
  void Remove(std::map<std::u16string, StoredEntry, std::less<>>::iterator it);
  // The stored entry becomes `next` with `snapshot`, a response whose body equals the
  // stored one: the same file, the counts going on.
  void Renew(StoredEntry& stored, StoredEntry next, CacheEntrySnapshot snapshot, bool hit, FileTime now);
  // The tee's body to keep in memory, when it is small and the budget has room.
  std::shared_ptr<const std::string> MemoryCopy(CResponseTee& tee) const;
  void EvictBeyond(std::uint64_t maxBytes);
  void Touch(StoredEntry& entry);
  void WriteIndexIfDue();
  // Queues the index as the entries are now for the file worker.
  void PostIndexLocked();
  bool WriteIndexFile(const std::string& text);
  // Removes a body file after whatever the file worker has queued for it.
  void RemoveBodyFile(const std::string& fileName);
  std::optional<std::filesystem::path> OwnBodyPath(std::u16string_view path);
  CacheFindResult Offer(Enumeration& enumeration, CacheEntrySnapshot& entry, std::uint32_t& bufferSize);
  FileTime Now() const;
  void Fault(const std::string& kind, const std::string& line);

  StoreSettings m_settings;
  bool m_usable = false;
  int m_lockFile = -1;
  mutable std::mutex m_mutex;
  std::map<std::u16string, StoredEntry, std::less<>> m_entries;  // by URL
  std::map<std::uint64_t, std::u16string> m_byUse;                // lastUse -> URL
  std::uint64_t m_bytes = 0;
  std::uint64_t m_memoryBytes = 0;  // of the bodies kept in memory too
  std::uint64_t m_useCounter = 0;
  std::uint64_t m_fileCounter = 0;
  bool m_indexDirty = false;
  std::chrono::steady_clock::time_point m_indexWritten;
  CCacheEnumerations<Enumeration> m_enumerations;
  std::mutex m_faultMutex;  // the fault log may be called with m_mutex held
  std::set<std::string> m_faultsSaid;
  std::atomic<bool> m_indexWriteFailed{false};  // the last index write, on the worker
  // Makes, writes and removes the body files and writes the index; none read-only.
  std::unique_ptr<CFileWorker> m_worker;
};

}  // namespace tracewell::store
