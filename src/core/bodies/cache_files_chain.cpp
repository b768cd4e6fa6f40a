#include "bodies/cache_files_chain.h"

namespace tracewell {

std::optional<std::string> CCacheFilesChain::ReadFileBytes(std::u16string_view path, std::size_t maxBytes) {
  for (ICacheFiles* files : m_files) {
    if (auto bytes = files->ReadFileBytes(path, maxBytes)) return bytes;
  }
  return std::nullopt;
}

std::optional<std::uint32_t> CCacheFilesChain::CopyFileReplacing(std::u16string_view from, std::u16string_view to) {
  std::optional<std::uint32_t> error = kErrorFileNotFound;
  for (ICacheFiles* files : m_files) {
    error = files->CopyFileReplacing(from, to);
    if (!error) return std::nullopt;
  }
  return error;
}

}  // namespace tracewell
