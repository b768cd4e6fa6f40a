#pragma once
// Fakes at the cache manager's platform interfaces: an in-memory cache store that
// keeps the buffer-size contract, a URL host parser, the save-file dialog and a
// picture decoder (the files are support/fake_cache_files.h).

#include <cstdint>
#include <cstdio>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cache/cache_entry_store.h"
#include "cache/cache_files.h"
#include "cache/cache_groups.h"
#include "cache/cache_preview.h"
#include "http_text/splitting.h"
#include "support/fake_cache_files.h"
#include "support/fake_message_box.h"

namespace tracewell::testing {

struct FakeEntry {
  CacheEntrySnapshot snapshot;
  std::uint32_t size = 600;  // the room the entry needs
  bool deleted = false;
};

class FakeEnumerationStore final : public ICacheEnumerationStore {
 public:
  std::vector<FakeEntry> entries;
  // Scripted faults.
  std::optional<CacheFindResult> firstFails;
  std::optional<std::size_t> nextFailsAtEntry;  // this entry's find-next fails with nextError
  std::uint32_t nextError = 0;
  std::uint32_t growBy = 0;  // an entry that did not fit needs this much more next time,
  int growths = 0;           // this many times
  bool askForLessOnRetry = false;  // asks for no more than it was given

  // What the code under test did.
  std::vector<std::uint32_t> declaredSizes;
  std::vector<std::optional<std::u16string>> patterns;
  std::vector<std::u16string> deletedNames;
  int closes = 0;

  // An entry that needs `needed` bytes of room.
  void Add(std::u16string name, std::uint32_t needed = 600) {
    CacheEntrySnapshot snapshot;
    snapshot.SourceUrlName = std::move(name);
    entries.push_back({std::move(snapshot), needed});
  }
  // An entry with its cached file.
  void AddFile(std::u16string name, std::u16string localFile, std::uint32_t sizeLow = 0) {
    Add(std::move(name));
    entries.back().snapshot.LocalFileName = std::move(localFile);
    entries.back().snapshot.SizeLow = sizeLow;
  }
  std::vector<std::u16string> LiveNames() const {
    std::vector<std::u16string> names;
    for (const FakeEntry& e : entries) {
      if (!e.deleted) names.push_back(e.snapshot.SourceUrlName);
    }
    return names;
  }

  CacheFindResult FindFirstUrlCacheEntry(std::optional<std::u16string_view> pattern, CacheEntrySnapshot& entry,
                                         std::uint32_t& bufferSize, CacheFindHandle& handle) override {
    declaredSizes.push_back(bufferSize);
    patterns.push_back(pattern ? std::optional<std::u16string>(*pattern) : std::nullopt);
    if (firstFails) return *firstFails;
    m_pattern = pattern ? std::u16string(*pattern) : std::u16string();
    m_position = 0;
    const CacheFindResult result = Offer(entry, bufferSize);
    if (result.status == CacheQueryStatus::kOk) handle = kHandle;
    return result;
  }
  CacheFindResult FindNextUrlCacheEntry(CacheFindHandle handle, CacheEntrySnapshot& entry,
                                        std::uint32_t& bufferSize) override {
    declaredSizes.push_back(bufferSize);
    if (handle != kHandle) return {CacheQueryStatus::kFailed, 6};
    if (nextFailsAtEntry && NextMatch() == *nextFailsAtEntry) return {CacheQueryStatus::kFailed, nextError};
    return Offer(entry, bufferSize);
  }
  void FindCloseUrlCache(CacheFindHandle handle) override {
    if (handle == kHandle) ++closes;
  }
  void DeleteUrlCacheEntry(std::u16string_view name) override {
    deletedNames.emplace_back(name);
    for (FakeEntry& e : entries) {
      if (!e.deleted && e.snapshot.SourceUrlName == name) {
        e.deleted = true;
        return;
      }
    }
  }

 private:
  static constexpr CacheFindHandle kHandle = 7;

  bool Matches(const FakeEntry& e) const {
    const std::u16string_view name = e.snapshot.SourceUrlName;
    return !e.deleted && name.size() >= m_pattern.size() &&
           EqualsIgnoringCase(name.substr(0, m_pattern.size()), m_pattern);
  }
  std::size_t NextMatch() {
    while (m_position < entries.size() && !Matches(entries[m_position])) ++m_position;
    return m_position;
  }
  CacheFindResult Offer(CacheEntrySnapshot& entry, std::uint32_t& bufferSize) {
    if (NextMatch() == entries.size()) return {CacheQueryStatus::kNoMoreItems, 0};
    FakeEntry& e = entries[m_position];
    if (bufferSize < e.size) {
      bufferSize = askForLessOnRetry ? bufferSize : e.size;
      if (growths > 0 && e.size <= std::numeric_limits<std::uint32_t>::max() - growBy) {
        e.size += growBy;
        --growths;
      }
      return {CacheQueryStatus::kInsufficientBuffer, kErrorInsufficientBuffer};
    }
    entry = e.snapshot;
    ++m_position;
    return {};
  }

  std::u16string m_pattern;
  std::size_t m_position = 0;
};

// The host: between "://" and the next "/", ":" or "?"; an empty host or one
// holding "!" does not parse.
class FakeUrlHostParser final : public IUrlHostParser {
 public:
  std::optional<std::u16string> HostName(std::u16string_view url) const override {
    const std::size_t scheme = url.find(u"://");
    if (scheme == std::u16string_view::npos) return std::nullopt;
    std::u16string_view host = url.substr(scheme + 3);
    host = host.substr(0, host.find_first_of(u"/:?"));
    if (host.empty() || host.find(u'!') != std::u16string_view::npos) return std::nullopt;
    return std::u16string(host);
  }
};

class FakeSaveFileDialog final : public ISaveFileDialog {
 public:
  std::optional<std::u16string> answer;
  std::vector<std::pair<std::u16string, std::u16string>> asked;  // proposed name, filter

  std::optional<std::u16string> AskSavePath(std::u16string_view fileName, std::u16string_view filter) override {
    asked.emplace_back(fileName, filter);
    return answer;
  }
};

struct FakePicture final : IPreviewPicture {
  HiMetricSize size;
  explicit FakePicture(HiMetricSize s) : size(s) {}
  HiMetricSize NaturalSize() const override { return size; }
};

// Decodes "PIC <width> <height>" (sizes in 0.01 mm); anything else is no picture.
class FakePictureDecoder final : public IPictureDecoder {
 public:
  std::unique_ptr<IPreviewPicture> Decode(std::string_view bytes) const override {
    unsigned width = 0;
    unsigned height = 0;
    if (std::sscanf(std::string(bytes).c_str(), "PIC %u %u", &width, &height) != 2) return nullptr;
    return std::make_unique<FakePicture>(HiMetricSize{width, height});
  }
};

}  // namespace tracewell::testing
