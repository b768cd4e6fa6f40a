#include "chromium_cache_store.h"

#include <sys/stat.h>

#include <cerrno>
#include <fstream>
#include <utility>

#include "chromium_cache/disk_entry_snapshot.h"
#include "chromium_cache/response_info.h"
#include "chromium_cache/simple_entry.h"
#include "http_text/splitting.h"
#include "text/utf8.h"

namespace tracewell::browser {
namespace {

namespace fs = std::filesystem;
using chromium_cache::EntryFault;

// A listing taken this soon after the folder's change may have missed a file made
// in the same instant.
constexpr auto kSettleTime = std::chrono::seconds(2);
// Until then it is taken again at most this often.
constexpr auto kRelistInterval = std::chrono::milliseconds(100);
constexpr std::size_t kHashDigits = 16;

// "<16 hex digits>_0": the file holding an entry's body and response information.
bool IsEntryFileName(std::string_view name) {
  return name.size() == kHashDigits + 2 && name.ends_with("_0") &&
         name.substr(0, kHashDigits).find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

// Up to `limit` bytes from the start of `path`; none when it cannot be read.
std::optional<std::string> ReadStart(const fs::path& path, std::uintmax_t limit) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::error_code error;
  const std::uintmax_t size = fs::file_size(path, error);
  if (error) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(std::min(size, limit)), '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

// The file's modification time as FILETIME (UTC); 0 when it cannot be had.
FileTime ModificationTime(const fs::path& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0 || status.st_mtim.tv_sec < 0) return {};
  constexpr std::uint64_t kSecondsFrom1601To1970 = 11'644'473'600;
  return FileTime{(static_cast<std::uint64_t>(status.st_mtim.tv_sec) + kSecondsFrom1601To1970) *
                      static_cast<std::uint64_t>(kFileTimeTicksPerSecond) +
                  static_cast<std::uint64_t>(status.st_mtim.tv_nsec) / 100};
}

// ASCII letters compare without case.
// "a/b/" as "a/b", so that an entry's parent folder compares equal to it.
fs::path WithoutTrailingSeparator(fs::path folder) {
  folder = folder.lexically_normal();
  return folder.has_filename() ? folder : folder.parent_path();
}

}  // namespace

CChromiumCacheStore::CChromiumCacheStore(fs::path folder, FaultHandler onFault)
    : m_folder(WithoutTrailingSeparator(std::move(folder))), m_onFault(std::move(onFault)) {}

void CChromiumCacheStore::SetBrowserRunning(bool running) {
  const std::lock_guard lock(m_mutex);
  m_browserRunning = running;
}

void CChromiumCacheStore::Refresh() {
  std::error_code error;
  const fs::file_time_type changed = fs::last_write_time(m_folder, error);
  if (error) {  // no cache folder (yet): nothing cached
    m_urlOfFile.clear();
    m_filesOfUrl.clear();
    m_unread.clear();
    return;
  }
  const auto now = fs::file_time_type::clock::now();
  const bool listingCurrent =
      changed == m_listedChange && (m_listedAt - changed > kSettleTime || now - m_listedAt < kRelistInterval);
  if (listingCurrent) {
    std::erase_if(m_unread, [this](const std::string& file) { return Learn(file); });
    return;
  }
  m_listedChange = changed;
  m_listedAt = now;
  std::map<std::string, std::string> listed;
  for (const auto& item : fs::directory_iterator(m_folder, error)) {
    std::string name = item.path().filename().string();
    if (IsEntryFileName(name)) listed.emplace(std::move(name), std::string());
  }
  std::vector<std::string> gone;
  for (const auto& [file, url] : m_urlOfFile) {
    if (!listed.contains(file)) gone.push_back(file);
  }
  for (const std::string& file : gone) Forget(file);
  m_unread.clear();
  for (const auto& [file, unused] : listed) {
    if (!m_urlOfFile.contains(file) && !Learn(file)) m_unread.push_back(file);
  }
}

void CChromiumCacheStore::Forget(const std::string& file) {
  const auto known = m_urlOfFile.find(file);
  if (known == m_urlOfFile.end()) return;
  auto [first, last] = m_filesOfUrl.equal_range(known->second);
  for (auto it = first; it != last; ++it) {
    if (it->second == file) {
      m_filesOfUrl.erase(it);
      break;
    }
  }
  m_urlOfFile.erase(known);
}

bool CChromiumCacheStore::Learn(const std::string& file) {
  const fs::path path = m_folder / file;
  const auto head = ReadStart(path, chromium_cache::kEntryHeaderSize);
  if (!head) return false;
  const auto header = chromium_cache::ParseEntryHeader(*head);
  if (const auto* fault = std::get_if<EntryFault>(&header)) {
    if (fault->kind == chromium_cache::EntryFaultKind::kTruncated) return false;  // being written
    Note(*fault);
    m_urlOfFile.emplace(file, std::string());  // never readable: not tried again
    return true;
  }
  const auto start = ReadStart(path, chromium_cache::kEntryHeaderSize +
                                         std::uintmax_t{std::get<chromium_cache::SimpleEntryHeader>(header).keyLength});
  if (!start) return false;
  const auto key = chromium_cache::ParseEntryKey(*start);
  if (std::holds_alternative<EntryFault>(key)) return false;
  std::string url(chromium_cache::UrlOfCacheKey(std::get<std::string_view>(key)));
  m_filesOfUrl.emplace(url, file);
  m_urlOfFile.emplace(file, std::move(url));
  return true;
}

std::optional<CacheEntrySnapshot> CChromiumCacheStore::SnapshotOfFile(const std::string& file) {
  const fs::path path = m_folder / file;
  const auto bytes = ReadStart(path, kLargestEntryFile);
  if (!bytes) return std::nullopt;
  const auto entry = chromium_cache::ParseSimpleEntry(*bytes);
  if (const auto* fault = std::get_if<EntryFault>(&entry)) {
    Note(*fault);
    return std::nullopt;
  }
  const auto& parsed = std::get<chromium_cache::SimpleEntry>(entry);
  const auto info = chromium_cache::ParseResponseInfo(parsed.responseInfo);
  if (const auto* fault = std::get_if<EntryFault>(&info)) {
    Note(*fault);
    return std::nullopt;
  }
  return chromium_cache::SnapshotOfEntry(chromium_cache::UrlOfCacheKey(parsed.key), parsed,
                                         std::get<chromium_cache::ResponseInfo>(info),
                                         FromUtf8(path.string()), ModificationTime(path));
}

std::optional<CacheEntrySnapshot> CChromiumCacheStore::Lookup(std::u16string_view url) {
  const std::string key = ToUtf8(chromium_cache::UrlWithoutFragment(url));
  Refresh();
  std::vector<std::string> files;
  const auto [first, last] = m_filesOfUrl.equal_range(key);
  for (auto it = first; it != last; ++it) files.push_back(it->second);
  // The same URL is stored once per top-level site: the newest response wins.
  std::optional<CacheEntrySnapshot> newest;
  for (const std::string& file : files) {
    auto snapshot = SnapshotOfFile(file);
    if (snapshot && (!newest || snapshot->LastSyncTime > newest->LastSyncTime)) newest = std::move(snapshot);
  }
  return newest;
}

CacheQueryStatus CChromiumCacheStore::GetUrlCacheEntryInfo(std::u16string_view url, CacheEntrySnapshot* entry,
                                                           std::uint32_t& bufferSize) {
  std::optional<CacheEntrySnapshot> found;
  {
    const std::lock_guard lock(m_mutex);
    found = Lookup(url);
  }
  FlushFault();
  if (!found) return CacheQueryStatus::kFailed;
  return AnswerCacheEntry(*found, entry, bufferSize);
}

CacheFindResult CChromiumCacheStore::Offer(Enumeration& enumeration, CacheEntrySnapshot& entry,
                                           std::uint32_t& bufferSize) {
  for (; enumeration.position < enumeration.files.size(); ++enumeration.position) {
    auto snapshot = SnapshotOfFile(enumeration.files[enumeration.position]);
    if (!snapshot) continue;  // gone or unfinished since the listing
    const CacheQueryStatus status = AnswerCacheEntry(*snapshot, &entry, bufferSize);
    if (status == CacheQueryStatus::kOk) ++enumeration.position;
    return {status, 0};
  }
  return {CacheQueryStatus::kNoMoreItems, 0};
}

CacheFindResult CChromiumCacheStore::FindFirstUrlCacheEntry(std::optional<std::u16string_view> pattern,
                                                            CacheEntrySnapshot& entry, std::uint32_t& bufferSize,
                                                            CacheFindHandle& handle) {
  CacheFindResult result;
  {
    const std::lock_guard lock(m_mutex);
    Refresh();
    const std::string prefix = pattern ? ToUtf8(*pattern) : std::string();
    Enumeration enumeration;
    for (const auto& [file, url] : m_urlOfFile) {
      if (!url.empty() && StartsWithIgnoringCase(url, prefix)) enumeration.files.push_back(file);
    }
    result = m_enumerations.Start(std::move(enumeration), handle,
                                  [&](Enumeration& e) { return Offer(e, entry, bufferSize); });
  }
  FlushFault();
  return result;
}

CacheFindResult CChromiumCacheStore::FindNextUrlCacheEntry(CacheFindHandle handle, CacheEntrySnapshot& entry,
                                                           std::uint32_t& bufferSize) {
  CacheFindResult result;
  {
    const std::lock_guard lock(m_mutex);
    result = m_enumerations.Next(handle, [&](Enumeration& e) { return Offer(e, entry, bufferSize); });
  }
  FlushFault();
  return result;
}

void CChromiumCacheStore::FindCloseUrlCache(CacheFindHandle handle) {
  const std::lock_guard lock(m_mutex);
  m_enumerations.Close(handle);
}

void CChromiumCacheStore::DeleteUrlCacheEntry(std::u16string_view name) {
  const std::lock_guard lock(m_mutex);
  if (m_browserRunning) return;  // its cache is the browser's while it runs
  Refresh();
  const std::string url = ToUtf8(name);
  std::vector<std::string> files;
  const auto [first, last] = m_filesOfUrl.equal_range(url);
  for (auto it = first; it != last; ++it) files.push_back(it->second);
  for (const std::string& file : files) {
    const std::string hash = file.substr(0, kHashDigits);
    std::error_code ignored;  // a file already gone is what was wanted
    for (const char* suffix : {"_0", "_1", "_s"}) fs::remove(m_folder / (hash + suffix), ignored);
    Forget(file);
  }
}

std::optional<std::string> CChromiumCacheStore::BodyOf(std::u16string_view localFileName) {
  const auto name = chromium_cache::ParseBodyName(localFileName);
  if (!name) return std::nullopt;
  const fs::path path(ToUtf8(name->entryPath));
  if (path.parent_path() != m_folder || !IsEntryFileName(path.filename().string())) return std::nullopt;
  const auto bytes = ReadStart(path, kLargestEntryFile);
  if (!bytes) return std::nullopt;
  const auto entry = chromium_cache::ParseSimpleEntry(*bytes);
  if (std::holds_alternative<EntryFault>(entry)) return std::nullopt;
  const auto& parsed = std::get<chromium_cache::SimpleEntry>(entry);
  const auto info = chromium_cache::ParseResponseInfo(parsed.responseInfo);
  if (std::holds_alternative<EntryFault>(info) ||
      std::get<chromium_cache::ResponseInfo>(info).responseTime != name->responseTime) {
    return std::nullopt;  // a newer response replaced the one the name stands for
  }
  return std::string(parsed.body);
}

std::optional<std::string> CChromiumCacheStore::ReadFileBytes(std::u16string_view path, std::size_t maxBytes) {
  auto body = BodyOf(path);
  if (body && body->size() > maxBytes) body->resize(maxBytes);
  return body;
}

std::optional<std::uint32_t> CChromiumCacheStore::CopyFileReplacing(std::u16string_view from,
                                                                    std::u16string_view to) {
  const auto body = BodyOf(from);
  if (!body) return kErrorFileNotFound;
  const fs::path target(ToUtf8(to));
  fs::path temporary = target;
  temporary += ".tracewell-part";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(body->data(), static_cast<std::streamsize>(body->size()));
    out.close();
    if (!out) {
      const int error = errno;
      std::error_code ignored;
      fs::remove(temporary, ignored);
      return static_cast<std::uint32_t>(error != 0 ? error : EIO);
    }
  }
  std::error_code error;
  fs::rename(temporary, target, error);
  if (!error) return std::nullopt;
  std::error_code ignored;
  fs::remove(temporary, ignored);
  return static_cast<std::uint32_t>(error.value());
}

void CChromiumCacheStore::Note(const EntryFault& fault) {
  if (!chromium_cache::IsVersionFault(fault) || m_faultNoted) return;
  m_faultNoted = true;
  m_pendingFault = "the browser's disk cache cannot be read: " + chromium_cache::DescribeEntryFault(fault);
}

void CChromiumCacheStore::FlushFault() {
  std::optional<std::string> reason;
  {
    const std::lock_guard lock(m_mutex);
    reason = std::exchange(m_pendingFault, std::nullopt);
  }
  if (reason && m_onFault) m_onFault(*reason);
}

}  // namespace tracewell::browser
