#include "store/response_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <utility>

#include "http_cache/cache_rules.h"
#include "http_cache/entry_snapshot.h"
#include "http_text/splitting.h"
#include "store/file_worker.h"
#include "system_clock.h"
#include "text/assert.h"
#include "text/utf8.h"
#include "user_folders.h"

namespace tracewell::store {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kIndexName = "index";
constexpr std::string_view kLockName = "lock";
constexpr std::string_view kPartSuffix = ".part";
// Changed entries reach the index on disk at most this long after the change.
constexpr std::chrono::seconds kIndexInterval{2};
// Bodies up to this size are kept in memory too, up to the budget in all: a body
// that comes again is compared there, without reading its file.
constexpr std::size_t kMemoryBodyLimit = 2 << 20;
constexpr std::uint64_t kMemoryBudget = 32 << 20;

std::string ErrnoText() { return std::strerror(errno); }

bool WriteAll(int file, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(file, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

// `size` bytes at `offset`, all of them.
bool ReadAllAt(int file, char* data, std::size_t size, std::uint64_t offset) {
  while (size > 0) {
    const ssize_t got = ::pread(file, data, size, static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    data += got;
    size -= static_cast<std::size_t>(got);
    offset += static_cast<std::uint64_t>(got);
  }
  return true;
}

std::u16string PathText(const fs::path& path) { return FromUtf8(path.string()); }

// The body file's extension: the URL's, when it is one a file name can carry.
std::string BodyExtension(std::u16string_view url) {
  const std::string extension = ToUtf8(UrlFileExtension(url));
  return IsBodyFileName("0." + extension) ? "." + extension : std::string();
}

// Entries are shared with the records that took them: a change makes a new one.
void ChangeSnapshot(SharedCacheEntry& snapshot, const auto& change) {
  auto next = std::make_shared<CacheEntrySnapshot>(*snapshot);
  change(*next);
  snapshot = std::move(next);
}

bool HasNoCache(const HeaderFields& headers) {
  return ParseCacheControl(FieldValue(headers, u"Cache-Control").value_or(u"")).noCache;
}

// How a stored entry stands to a new request for its URL: selected when the request
// fields its Vary names match (no Vary: always), fresh when it could answer as it is.
struct EntryMatch {
  bool selected = false;
  bool fresh = false;
};

EntryMatch MatchOf(const StoredEntry& entry, std::u16string_view requestHeaders, FileTime now) {
  if (!entry.varyKey) return {};
  if (!entry.varyKey->empty() &&
      VaryKey(ParseHeaderFields(entry.snapshot->HeaderInfo), requestHeaders) != entry.varyKey) {
    return {};
  }
  return {true, !entry.noCache && now < entry.snapshot->ExpireTime};
}

}  // namespace

StoreSettings DefaultStoreSettings(std::uint64_t maxBytes, StoreFaultLog faultLog) {
  return {UserCacheDirectory() / "store", maxBytes, std::move(faultLog), {}};
}

StoreSettings ReadOnlyStoreSettings(StoreFaultLog faultLog) {
  StoreSettings settings = DefaultStoreSettings(kDefaultStoreBytes, std::move(faultLog));
  settings.readOnly = true;
  return settings;
}

// A body file that the file worker makes. Once queued, only tasks on the worker
// touch it.
struct PendingBody {
  std::string fileName;
  fs::path part;  // its name until it is complete
  int file = -1;
  bool failed = false;  // it cannot be kept
};

CResponseTee::CResponseTee(CResponseStore& store, StoreRequest request, std::u16string responseBlock)
    : m_store(store),
      m_request(std::move(request)),
      m_responseBlock(std::move(responseBlock)),
      m_response(ParseHeaderFields(m_responseBlock)),
      m_status(StatusOf(m_response)) {}

CResponseTee::~CResponseTee() { Drop(); }

void CResponseTee::Write(const char* data, std::size_t size) {
  if (!m_storing) return;
  if (m_written + size > m_store.m_settings.maxBytes) {
    Drop();  // a body larger than the whole store is never kept
    return;
  }
  if (m_equal && !StillEqual(data, size)) {
    m_equal = false;
    if (m_collecting) TakeStoredStart();
  }
  if (m_collecting && m_written + size > kMemoryBodyLimit) m_collecting = false;
  if (!m_collecting && !m_equal && !m_file && !StartFile()) {
    Drop();
    return;
  }
  if (m_file) {
    if (!QueueBytes(std::make_shared<const std::string>(data, size))) {
      Drop();
      return;
    }
  } else if (m_collecting && !(m_equal && m_storedCopy)) {
    m_copy->append(data, size);
  }
  m_written += size;
}

void CResponseTee::Complete() {
  if (m_storing && !EqualsStoredBody()) {
    if (m_collecting && m_equal) TakeStoredStart();  // only the stored body's start came
    if (!m_file && !StartFile()) Drop();
  }
  m_store.Finish(*this);
  CloseStored();
}

bool CResponseTee::StillEqual(const char* data, std::size_t size) {
  if (m_written + size > m_storedSize) return false;
  if (m_storedCopy) return std::memcmp(m_storedCopy->data() + m_written, data, size) == 0;
  if (m_compareSize < size) {
    m_compare = std::make_unique<char[]>(size);
    m_compareSize = size;
  }
  return ReadAllAt(m_stored, m_compare.get(), size, m_written) && std::memcmp(m_compare.get(), data, size) == 0;
}

void CResponseTee::TakeStoredStart() {
  if (m_storedCopy) m_copy->assign(m_storedCopy->data(), static_cast<std::size_t>(m_written));
}

bool CResponseTee::StartFile() {
  TRACEWELL_ASSERT(m_store.m_worker != nullptr);
  m_file = m_store.NewBodyFile(m_request.url);
  // What came so far is in memory, or equals the stored body's start.
  bool queued = true;
  if (m_copy && m_copy->size() == m_written) {
    if (m_written > 0) queued = QueueBytes(m_copy);
  } else if (m_storedCopy) {
    m_store.m_worker->Post([&store = m_store, file = m_file, stored = m_storedCopy, size = m_written] {
      store.AppendBody(*file, std::string_view(stored->data(), static_cast<std::size_t>(size)));
    });
  } else if (m_written > 0) {
    TRACEWELL_ASSERT(m_stored >= 0);
    m_store.m_worker->Post([&store = m_store, file = m_file, stored = std::exchange(m_stored, -1),
                            size = m_written] { store.CopyStoredStart(*file, stored, size); });
  }
  if (!m_collecting) m_copy.reset();
  CloseStored();  // no longer compared
  return queued;
}

bool CResponseTee::QueueBytes(std::shared_ptr<const std::string> bytes) {
  const std::size_t size = bytes->size();
  if (m_store.m_worker->TryPost(size, [&store = m_store, file = m_file, bytes = std::move(bytes)] {
        store.AppendBody(*file, *bytes);
      })) {
    return true;
  }
  m_store.Fault("queue", "response bodies came faster than " + m_store.Directory().string() +
                             " took them; a response whose body would leave more than " +
                             std::to_string(m_store.m_settings.pendingBytes) +
                             " bytes waiting to be written is not stored");
  return false;
}

void CResponseTee::CloseStored() {
  if (m_stored >= 0) ::close(m_stored);
  m_stored = -1;
  m_storedCopy.reset();
}

void CResponseTee::Drop() {
  m_storing = false;
  CloseStored();
  m_copy.reset();
  if (!m_file) return;
  m_store.m_worker->Post([&store = m_store, file = std::move(m_file)] { store.AbandonBody(*file); });
}

CResponseStore::CResponseStore(StoreSettings settings) : m_settings(std::move(settings)) {
  if (!m_settings.now) m_settings.now = UtcFileTimeNow;
  m_fileCounter = static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
  m_usable = Open();
  if (m_usable && !m_settings.readOnly) m_worker = std::make_unique<CFileWorker>(m_settings.pendingBytes);
  if (m_usable) Load();
  m_indexWritten = std::chrono::steady_clock::now();
}

CResponseStore::~CResponseStore() {
  Settle();
  bool dirty = false;
  {
    const std::lock_guard lock(m_mutex);
    dirty = m_indexDirty;
  }
  if (m_usable && dirty) WriteIndex();
  m_worker.reset();  // everything queued is done first
  if (m_lockFile >= 0) ::close(m_lockFile);  // releases the lock
}

bool CResponseStore::Open() {
  const std::string where = "the response store in " + m_settings.directory.string();
  std::error_code ec;
  if (m_settings.readOnly) return fs::is_directory(m_settings.directory, ec);
  fs::create_directories(m_settings.directory, ec);
  if (ec) {
    Fault("open", "cannot make " + where + ": " + ec.message() + "; no responses are stored");
    return false;
  }
  const fs::path lock = m_settings.directory / kLockName;
  m_lockFile = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (m_lockFile < 0) {
    Fault("open", "cannot open " + where + ": " + ErrnoText() + "; no responses are stored");
    return false;
  }
  // Two processes writing one index would lose each other's entries.
  if (::flock(m_lockFile, LOCK_EX | LOCK_NB) != 0) {
    Fault("open", where + " is in use by another Tracewell; this one stores no responses");
    return false;
  }
  return true;
}

void CResponseStore::Load() {
  const fs::path indexPath = m_settings.directory / kIndexName;
  std::set<std::string> listed;
  std::ifstream index(indexPath, std::ios::binary);
  std::string line;
  std::size_t damaged = 0;
  if (index && std::getline(index, line) && line != kIndexFirstLine) {
    Fault("index", indexPath.string() + " is not a response store index; the store starts empty");
  } else if (index) {
    while (std::getline(index, line)) {
      auto entry = ParseIndexLine(line);
      std::error_code ec;
      const fs::path body = entry ? m_settings.directory / entry->fileName : fs::path();
      if (!entry || m_entries.contains(entry->snapshot->SourceUrlName) || listed.contains(entry->fileName) ||
          !fs::is_regular_file(body, ec) || fs::file_size(body, ec) != entry->bodySize || ec) {
        ++damaged;
        continue;
      }
      ChangeSnapshot(entry->snapshot, [&](CacheEntrySnapshot& s) { s.LocalFileName = PathText(body); });
      entry->noCache = HasNoCache(ParseHeaderFields(entry->snapshot->HeaderInfo));
      listed.insert(entry->fileName);
      m_useCounter = std::max(m_useCounter, entry->lastUse);
      Insert(std::move(*entry));
    }
  }
  if (damaged > 0) {
    Fault("index", "skipped " + std::to_string(damaged) + " damaged entr" + (damaged == 1 ? "y" : "ies") +
                       " of " + indexPath.string());
  }
  if (m_settings.readOnly) return;
  RemoveUnlisted(listed);
  EvictBeyond(m_settings.maxBytes);  // the bound may be smaller than last time
  m_indexDirty = damaged > 0;
}

void CResponseStore::RemoveUnlisted(const std::set<std::string>& listed) {
  std::error_code ec;
  for (const auto& item : fs::directory_iterator(m_settings.directory, ec)) {
    const std::string name = item.path().filename().string();
    const bool ours = IsBodyFileName(name) || name.ends_with(kPartSuffix);
    if (ours && !listed.contains(name) && !fs::remove(item.path(), ec)) {
      Fault("remove", "cannot remove " + item.path().string() + ": " + ec.message());
    }
  }
  if (ec) Fault("list", "cannot list " + m_settings.directory.string() + ": " + ec.message());
}

std::unique_ptr<CResponseTee> CResponseStore::Begin(StoreRequest request, std::u16string responseBlock) {
  if (!m_usable || m_settings.readOnly) return nullptr;
  std::unique_ptr<CResponseTee> tee(new CResponseTee(*this, std::move(request), std::move(responseBlock)));
  if (tee->m_status == 304 ||
      !MayStore(tee->m_request.method, tee->m_request.headers, tee->m_status, tee->m_response)) {
    return tee;
  }
  tee->m_storing = true;
  const std::lock_guard lock(m_mutex);
  tee->m_collecting = m_memoryBytes < kMemoryBudget;
  if (tee->m_collecting) tee->m_copy = std::make_shared<std::string>();
  // Opened under the lock: no other response can remove the file in between.
  if (const auto it = m_entries.find(tee->m_request.url); it != m_entries.end()) {
    tee->m_storedCopy = it->second.memoryBody;
    if (!tee->m_storedCopy) {
      const fs::path body = m_settings.directory / it->second.fileName;
      tee->m_stored = ::open(body.c_str(), O_RDONLY | O_CLOEXEC);
    }
    tee->m_storedName = it->second.fileName;
    tee->m_storedSize = it->second.bodySize;
    tee->m_equal = tee->m_storedCopy || tee->m_stored >= 0;
  }
  return tee;
}

std::shared_ptr<PendingBody> CResponseStore::NewBodyFile(std::u16string_view url) {
  std::uint64_t number = 0;
  {
    const std::lock_guard lock(m_mutex);
    number = ++m_fileCounter;
  }
  char stem[17];
  std::snprintf(stem, sizeof stem, "%016llx", static_cast<unsigned long long>(number));
  auto body = std::make_shared<PendingBody>();
  body->fileName = stem + BodyExtension(url);
  body->part = m_settings.directory / (body->fileName + std::string(kPartSuffix));
  return body;
}

void CResponseStore::AppendBody(PendingBody& body, std::string_view bytes) {
  if (body.failed) return;
  if (body.file < 0) {
    body.file = ::open(body.part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (body.file < 0) {
      body.failed = true;
      Fault("create", "cannot create a body file in " + m_settings.directory.string() + ": " + ErrnoText() +
                          "; such responses are not stored");
      return;
    }
  }
  if (!WriteAll(body.file, bytes.data(), bytes.size())) {
    body.failed = true;
    Fault("write", "cannot write a response body in " + m_settings.directory.string() + ": " + ErrnoText() +
                       "; such responses are not stored");
  }
}

void CResponseStore::CopyStoredStart(PendingBody& body, int stored, std::uint64_t size) {
  constexpr std::size_t kCopyChunk = 64 * 1024;
  const auto buffer = std::make_unique<char[]>(kCopyChunk);
  for (std::uint64_t copied = 0; copied < size && !body.failed;) {
    const auto chunk = static_cast<std::size_t>(std::min<std::uint64_t>(kCopyChunk, size - copied));
    if (!ReadAllAt(stored, buffer.get(), chunk, copied)) {
      body.failed = true;
      Fault("read", "cannot read a stored body in " + m_settings.directory.string() + ": " + ErrnoText() +
                        "; a response that begins like it is not stored");
      break;
    }
    AppendBody(body, std::string_view(buffer.get(), chunk));
    copied += chunk;
  }
  ::close(stored);
}

void CResponseStore::CompleteBody(PendingBody& body, const std::u16string& url) {
  AppendBody(body, {});  // makes the file of an empty body
  const fs::path path = m_settings.directory / body.fileName;
  if (!body.failed &&
      (::close(std::exchange(body.file, -1)) != 0 || ::rename(body.part.c_str(), path.c_str()) != 0)) {
    Fault("write", "cannot complete " + path.string() + ": " + ErrnoText() + "; such responses are not stored");
    body.failed = true;
  }
  if (!body.failed) return;
  AbandonBody(body);
  // The entry was made when the response completed: it goes with its body.
  const std::lock_guard lock(m_mutex);
  const auto it = m_entries.find(url);
  if (it != m_entries.end() && it->second.fileName == body.fileName) Remove(it);
}

void CResponseStore::AbandonBody(PendingBody& body) {
  if (body.file >= 0) ::close(std::exchange(body.file, -1));
  if (::unlink(body.part.c_str()) != 0 && errno != ENOENT) {
    Fault("remove", "cannot remove " + body.part.string() + ": " + ErrnoText());
  }
}

void CResponseStore::Finish(CResponseTee& tee) {
  const FileTime now = Now();
  const bool sameBody = tee.m_storing && !tee.m_file;  // equal to the stored one
  std::string bodyName = sameBody ? tee.m_storedName : tee.m_file ? tee.m_file->fileName : std::string();
  const StoreRequest& request = tee.m_request;
  // The new version of the entry is worked out before the lock is taken; an equal
  // body keeps its file's name, filled in below.
  StoredEntry entry;
  CacheEntrySnapshot snapshot;
  if (!bodyName.empty()) {
    entry.fileName = bodyName;
    entry.bodySize = tee.m_written;
    entry.varyKey = VaryKey(tee.m_response, request.headers);
    entry.noCache = HasNoCache(tee.m_response);
    std::u16string localFile = sameBody ? std::u16string() : PathText(m_settings.directory / bodyName);
    snapshot = NewEntrySnapshot(request.url, std::move(localFile), StoredFields(tee.m_response),
                                tee.m_written, now);
  }
  const std::lock_guard lock(m_mutex);
  auto it = m_entries.find(request.url);
  const EntryMatch match = it != m_entries.end() ? MatchOf(it->second, request.headers, now) : EntryMatch{};
  const bool selected = match.selected;
  const bool hit = match.fresh;
  // Another response for the URL may have replaced the equal body meanwhile: then
  // this one is not kept.
  if (sameBody && (it == m_entries.end() || it->second.fileName != bodyName)) bodyName.clear();
  if (!bodyName.empty() && sameBody) {
    if (!it->second.memoryBody) {
      it->second.memoryBody = MemoryCopy(tee);
      if (it->second.memoryBody) m_memoryBytes += it->second.memoryBody->size();
    }
    Renew(it->second, std::move(entry), std::move(snapshot), hit, now);
  } else if (!bodyName.empty()) {
    if (it != m_entries.end()) {
      // The URL's counts go on across versions of its response.
      snapshot.UseCount = it->second.snapshot->UseCount;
      snapshot.HitRate = it->second.snapshot->HitRate;
      Remove(it);
    }
    CountUse(snapshot, hit, now);
    entry.snapshot = std::make_shared<const CacheEntrySnapshot>(std::move(snapshot));
    entry.memoryBody = MemoryCopy(tee);
    Insert(std::move(entry));
    // Queued before any removal of the file that eviction may queue.
    m_worker->Post([this, file = std::move(tee.m_file), url = request.url] { CompleteBody(*file, url); });
    EvictBeyond(m_settings.maxBytes);
  } else if (tee.m_status == 304 && selected) {
    ChangeSnapshot(it->second.snapshot, [&](CacheEntrySnapshot& s) {
      RefreshEntrySnapshot(s, tee.m_response, now);
      CountUse(s, true, now);
    });
    it->second.noCache = HasNoCache(ParseHeaderFields(it->second.snapshot->HeaderInfo));
    Touch(it->second);
  } else if (it != m_entries.end() && InvalidatesStored(request.method, tee.m_status)) {
    Remove(it);
  } else if (it != m_entries.end()) {
    ChangeSnapshot(it->second.snapshot, [&](CacheEntrySnapshot& s) { CountUse(s, hit, now); });
    Touch(it->second);
  } else {
    return;
  }
  m_indexDirty = true;
  WriteIndexIfDue();
}

std::shared_ptr<const std::string> CResponseStore::MemoryCopy(CResponseTee& tee) const {
  if (!tee.m_collecting || !tee.m_copy || m_memoryBytes + tee.m_written > kMemoryBudget) return nullptr;
  TRACEWELL_ASSERT(tee.m_copy->size() == tee.m_written);
  return tee.m_copy;
}

void CResponseStore::Renew(StoredEntry& stored, StoredEntry next, CacheEntrySnapshot snapshot, bool hit,
                           FileTime now) {
  snapshot.LocalFileName = stored.snapshot->LocalFileName;
  snapshot.UseCount = stored.snapshot->UseCount;
  snapshot.HitRate = stored.snapshot->HitRate;
  CountUse(snapshot, hit, now);
  stored.snapshot = std::make_shared<const CacheEntrySnapshot>(std::move(snapshot));
  stored.varyKey = std::move(next.varyKey);
  stored.noCache = next.noCache;
  Touch(stored);
}

void CResponseStore::Insert(StoredEntry entry) {
  if (entry.lastUse == 0 || m_byUse.contains(entry.lastUse)) entry.lastUse = ++m_useCounter;
  m_bytes += entry.bodySize;
  if (entry.memoryBody) m_memoryBytes += entry.memoryBody->size();
  m_byUse[entry.lastUse] = entry.snapshot->SourceUrlName;
  const std::u16string url = entry.snapshot->SourceUrlName;
  m_entries.insert_or_assign(url, std::move(entry));
}

void CResponseStore::Remove(std::map<std::u16string, StoredEntry, std::less<>>::iterator it) {
  RemoveBodyFile(it->second.fileName);
  m_bytes -= it->second.bodySize;
  if (it->second.memoryBody) m_memoryBytes -= it->second.memoryBody->size();
  m_byUse.erase(it->second.lastUse);
  m_entries.erase(it);
  m_indexDirty = true;
}

void CResponseStore::EvictBeyond(std::uint64_t maxBytes) {
  while (m_bytes > maxBytes && !m_byUse.empty()) {
    const auto oldest = m_entries.find(m_byUse.begin()->second);
    TRACEWELL_ASSERT(oldest != m_entries.end());
    Remove(oldest);
  }
}

void CResponseStore::Touch(StoredEntry& entry) {
  m_byUse.erase(entry.lastUse);
  entry.lastUse = ++m_useCounter;
  m_byUse[entry.lastUse] = entry.snapshot->SourceUrlName;
}

void CResponseStore::RemoveBodyFile(const std::string& fileName) {
  auto remove = [this, body = m_settings.directory / fileName] {
    if (::unlink(body.c_str()) != 0 && errno != ENOENT) {
      Fault("remove", "cannot remove " + body.string() + ": " + ErrnoText());
    }
  };
  if (m_worker) {
    m_worker->Post(std::move(remove));
  } else {
    remove();
  }
}

void CResponseStore::WriteIndexIfDue() {
  if (std::chrono::steady_clock::now() - m_indexWritten >= kIndexInterval) PostIndexLocked();
}

bool CResponseStore::WriteIndex() {
  {
    const std::lock_guard lock(m_mutex);
    if (!m_usable || m_settings.readOnly) return false;
    PostIndexLocked();
  }
  Settle();
  return !m_indexWriteFailed;
}

void CResponseStore::Settle() {
  if (m_worker) m_worker->Settle();
}

void CResponseStore::PostIndexLocked() {
  m_indexWritten = std::chrono::steady_clock::now();
  std::string text(kIndexFirstLine);
  text += '\n';
  for (const auto& [url, entry] : m_entries) text += IndexLine(entry) + '\n';
  m_indexDirty = false;
  // After the bodies it lists are complete: the worker runs its tasks in order.
  m_worker->Post([this, text = std::move(text)] { WriteIndexFile(text); });
}

bool CResponseStore::WriteIndexFile(const std::string& text) {
  const fs::path index = m_settings.directory / kIndexName;
  const fs::path part = m_settings.directory / (std::string(kIndexName) + std::string(kPartSuffix));
  const int file = ::open(part.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  bool written = file >= 0 && WriteAll(file, text.data(), text.size());
  if (file >= 0 && ::close(file) != 0) written = false;
  if (written && ::rename(part.c_str(), index.c_str()) == 0) {
    m_indexWriteFailed = false;
    return true;
  }
  Fault("index-write", "cannot write " + index.string() + ": " + ErrnoText() +
                           "; entries stored since the last write will be gone after a restart");
  ::unlink(part.c_str());
  m_indexWriteFailed = true;
  const std::lock_guard lock(m_mutex);
  m_indexDirty = true;
  return false;
}

std::uint64_t CResponseStore::StoredBytes() const {
  const std::lock_guard lock(m_mutex);
  return m_bytes;
}

CacheQueryStatus CResponseStore::GetUrlCacheEntryInfo(std::u16string_view url, CacheEntrySnapshot* entry,
                                                      std::uint32_t& bufferSize) {
  const std::lock_guard lock(m_mutex);
  const auto it = m_entries.find(url);
  if (it == m_entries.end()) return CacheQueryStatus::kFailed;
  return AnswerCacheEntry(*it->second.snapshot, entry, bufferSize);
}

SharedCacheEntry CResponseStore::SharedEntry(std::u16string_view url) {
  const std::lock_guard lock(m_mutex);
  const auto it = m_entries.find(url);
  return it == m_entries.end() ? nullptr : it->second.snapshot;
}

CacheFindResult CResponseStore::FindFirstUrlCacheEntry(std::optional<std::u16string_view> pattern,
                                                       CacheEntrySnapshot& entry, std::uint32_t& bufferSize,
                                                       CacheFindHandle& handle) {
  const std::lock_guard lock(m_mutex);
  Enumeration enumeration;
  for (const auto& [url, stored] : m_entries) {
    if (!pattern || StartsWithIgnoringCase(url, *pattern)) enumeration.urls.push_back(url);
  }
  return m_enumerations.Start(std::move(enumeration), handle,
                              [&](Enumeration& e) { return Offer(e, entry, bufferSize); });
}

CacheFindResult CResponseStore::FindNextUrlCacheEntry(CacheFindHandle handle, CacheEntrySnapshot& entry,
                                                      std::uint32_t& bufferSize) {
  const std::lock_guard lock(m_mutex);
  return m_enumerations.Next(handle, [&](Enumeration& e) { return Offer(e, entry, bufferSize); });
}

void CResponseStore::FindCloseUrlCache(CacheFindHandle handle) {
  const std::lock_guard lock(m_mutex);
  m_enumerations.Close(handle);
}

CacheFindResult CResponseStore::Offer(Enumeration& enumeration, CacheEntrySnapshot& entry,
                                      std::uint32_t& bufferSize) {
  // Entries deleted since the enumeration began are passed over.
  for (; enumeration.position < enumeration.urls.size(); ++enumeration.position) {
    const auto it = m_entries.find(enumeration.urls[enumeration.position]);
    if (it == m_entries.end()) continue;
    const CacheQueryStatus status = AnswerCacheEntry(*it->second.snapshot, &entry, bufferSize);
    if (status == CacheQueryStatus::kOk) ++enumeration.position;
    return {status, 0};
  }
  return {CacheQueryStatus::kNoMoreItems, 0};
}

void CResponseStore::DeleteUrlCacheEntry(std::u16string_view name) {
  const std::lock_guard lock(m_mutex);
  const auto it = m_entries.find(name);
  if (it != m_entries.end() && !m_settings.readOnly) Remove(it);
}

std::optional<fs::path> CResponseStore::OwnBodyPath(std::u16string_view path) {
  const std::lock_guard lock(m_mutex);
  for (const auto& [url, entry] : m_entries) {
    if (entry.snapshot->LocalFileName == path) return m_settings.directory / entry.fileName;
  }
  return std::nullopt;
}

std::optional<std::string> CResponseStore::ReadFileBytes(std::u16string_view path, std::size_t maxBytes) {
  Settle();  // a body the proxy has just kept may still be on its way to its file
  const auto body = OwnBodyPath(path);
  if (!body) return std::nullopt;
  std::ifstream file(*body, std::ios::binary);
  std::error_code ec;
  const auto size = fs::file_size(*body, ec);
  if (!file || ec) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(std::min<std::uintmax_t>(size, maxBytes)), '\0');
  file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(file.gcount()));
  return bytes;
}

std::optional<std::uint32_t> CResponseStore::CopyFileReplacing(std::u16string_view from, std::u16string_view to) {
  Settle();
  const auto body = OwnBodyPath(from);
  if (!body) return kErrorFileNotFound;
  const fs::path target(ToUtf8(to));
  const fs::path part = target.string() + std::string(kPartSuffix);
  std::error_code ec;
  fs::copy_file(*body, part, fs::copy_options::overwrite_existing, ec);
  if (!ec) fs::rename(part, target, ec);
  if (!ec) return std::nullopt;
  std::error_code ignored;  // the copy's own error is the one to report
  fs::remove(part, ignored);
  return static_cast<std::uint32_t>(ec.value());
}

FileTime CResponseStore::Now() const { return m_settings.now(); }

void CResponseStore::Fault(const std::string& kind, const std::string& line) {
  const std::lock_guard lock(m_faultMutex);
  if (!m_settings.faultLog || !m_faultsSaid.insert(kind).second) return;
  m_settings.faultLog(line);
}

}  // namespace tracewell::store
