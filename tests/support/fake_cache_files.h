#pragma once
// The stores' files in memory: a path's bytes, and what was read and copied.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cache/cache_files.h"

namespace tracewell::testing {

class FakeFiles final : public ICacheFiles {
 public:
  std::map<std::u16string, std::string> files;
  std::optional<std::uint32_t> copyError;

  std::vector<std::size_t> readLimits;
  std::vector<std::pair<std::u16string, std::u16string>> copies;

  std::optional<std::string> ReadFileBytes(std::u16string_view path, std::size_t maxBytes) override {
    readLimits.push_back(maxBytes);
    const auto file = files.find(std::u16string(path));
    if (file == files.end()) return std::nullopt;
    return file->second.substr(0, maxBytes);
  }
  std::optional<std::uint32_t> CopyFileReplacing(std::u16string_view from, std::u16string_view to) override {
    copies.emplace_back(from, to);
    return copyError;
  }
};

}  // namespace tracewell::testing
