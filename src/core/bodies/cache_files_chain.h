#pragma once
// The stores in use as one ICacheFiles: each is asked in turn, and the first that
// answers wins. A store answers only for the bodies it keeps, so the order matters
// only for paths that two stores would both claim.

#include <vector>

#include "cache/cache_files.h"

namespace tracewell {

class CCacheFilesChain final : public ICacheFiles {
 public:
  // `files` must outlive the chain.
  void Add(ICacheFiles& files) { m_files.push_back(&files); }

  std::optional<std::string> ReadFileBytes(std::u16string_view path, std::size_t maxBytes) override;
  // The last store's error when none could copy; "file not found" without stores.
  std::optional<std::uint32_t> CopyFileReplacing(std::u16string_view from, std::u16string_view to) override;

 private:
  std::vector<ICacheFiles*> m_files;
};

}  // namespace tracewell
