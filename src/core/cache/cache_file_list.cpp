#include "cache/cache_file_list.h"

#include "text/format.h"

namespace tracewell {

std::u16string_view FileNameOfPath(std::u16string_view path) {
  // The cache's own platform separates with "\"; the recorder's store on Linux with "/".
  const std::size_t separator = path.find_last_of(u"\\/");
  return separator == std::u16string_view::npos ? path : path.substr(separator + 1);
}

TextRow CacheFileRow(const CacheEntrySnapshot& entry) {
  return {std::u16string(FileNameOfPath(entry.LocalFileName)),
          FormatText("%d", static_cast<int>(entry.SizeLow)), entry.SourceUrlName, entry.LocalFileName};
}

}  // namespace tracewell
