#pragma once
// The response store's index on disk: a first line naming the format, then one line
// per entry, its fields separated by tabs, with tab, CR, LF and backslash escaped.
// A line that does not read back whole is damaged and names no entry.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "record/cache_entry_snapshot.h"

namespace tracewell::store {

inline constexpr std::string_view kIndexFirstLine = "tracewell response store 1";

// One stored response. Its body is the file `fileName` in the store's folder.
struct StoredEntry {
  SharedCacheEntry snapshot;  // never null; LocalFileName is the body's full path
  std::string fileName;
  // The request fields its Vary names; none for "Vary: *", which nothing matches.
  std::optional<std::u16string> varyKey;
  std::uint64_t bodySize = 0;
  std::uint64_t lastUse = 0;  // when last used, in the store's own count: the oldest goes first
  bool noCache = false;       // the stored Cache-Control says no-cache: never fresh
  // A small body also kept in memory, to compare the next response with without
  // touching the file; not in the index.
  std::shared_ptr<const std::string> memoryBody;
};

// The line of `entry`, without its line break.
std::string IndexLine(const StoredEntry& entry);

// The entry of one line; none when a field is missing, malformed or extra. The
// snapshot's LocalFileName is left for the store to fill in.
std::optional<StoredEntry> ParseIndexLine(std::string_view line);

// A name the store itself could have given a body file: lower-case hex digits, a
// dot and an extension of letters and digits; never a path.
bool IsBodyFileName(std::string_view name);

}  // namespace tracewell::store
