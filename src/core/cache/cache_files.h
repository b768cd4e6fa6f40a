#pragma once
// The file system and the save-file dialog as the cache preview and "Save As..."
// need them. Paths are the cache's local paths, in UTF-16.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tracewell {

// The system's error number for a file that is not there (a body no longer stored).
inline constexpr std::uint32_t kErrorFileNotFound = 2;

class ICacheFiles {
 public:
  virtual ~ICacheFiles() = default;
  // The file's first `maxBytes` bytes (all of a smaller file), opened for reading
  // while others may read too; nothing when it cannot be opened or read.
  virtual std::optional<std::string> ReadFileBytes(std::u16string_view path, std::size_t maxBytes) = 0;
  // Copies `from` to `to`, replacing a file already there. Nothing on success, the
  // system's error number on failure.
  virtual std::optional<std::uint32_t> CopyFileReplacing(std::u16string_view from, std::u16string_view to) = 0;
};

class ISaveFileDialog {
 public:
  virtual ~ISaveFileDialog() = default;
  // The platform's save-file dialog proposing `fileName`, with `filter` its only
  // filter, no overwrite prompt and no default extension. The chosen path, or
  // nothing when the user cancelled.
  virtual std::optional<std::u16string> AskSavePath(std::u16string_view fileName, std::u16string_view filter) = 0;
};

}  // namespace tracewell
