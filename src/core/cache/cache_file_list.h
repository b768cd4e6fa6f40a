#pragma once
// The manager's list of one host's cached files: its columns and the row of an entry.

#include <array>
#include <cstddef>
#include <string_view>

#include "record/cache_entry_snapshot.h"
#include "views/text_rows.h"

namespace tracewell {

namespace file_column {
inline constexpr std::size_t kFileName = 0;
inline constexpr std::size_t kFileSize = 1;
inline constexpr std::size_t kUrl = 2;
inline constexpr std::size_t kLocation = 3;
}  // namespace file_column

struct ListColumn {
  std::u16string_view title;
  int width;  // pixels
};

inline constexpr std::array<ListColumn, 4> kFileListColumns = {
    {{u"FileName", 150}, {u"FileSize", 60}, {u"URL", 300}, {u"Location", 350}}};

// The part of a local path after its last path separator, the whole path without one.
std::u16string_view FileNameOfPath(std::u16string_view path);

// FileName, FileSize (the low 32 bits, signed "%d"), URL, Location.
TextRow CacheFileRow(const CacheEntrySnapshot& entry);

}  // namespace tracewell
