#pragma once
// Files for the session formats. Reading goes through a buffered source that knows
// the file's size; writing goes to a temporary file beside the target that replaces
// the target only once every byte is written and flushed, so a failed save never
// leaves a truncated file where the old one was.

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "session_io/byte_stream.h"

namespace tracewell {

// Why a file operation failed, in words for the user ("No such file or directory").
struct FileError {
  std::string message;
  // The host stopped the work (a user's Cancel): nothing to report.
  bool stopped = false;
};

class FileByteSource final : public IByteSource {
 public:
  // Null with the reason in `error` when the file cannot be opened.
  static std::unique_ptr<FileByteSource> Open(const std::filesystem::path& path, FileError& error);
  ~FileByteSource() override;
  FileByteSource(const FileByteSource&) = delete;
  FileByteSource& operator=(const FileByteSource&) = delete;

  std::size_t Read(char* dest, std::size_t count) override;
  std::uint64_t Remaining() const override { return m_size - m_position; }
  bool Failed() const override { return m_failed; }

 private:
  FileByteSource(std::FILE* file, std::uint64_t size);
  bool Refill();

  std::FILE* m_file;
  std::uint64_t m_size;
  std::uint64_t m_position = 0;
  std::vector<char> m_buffer;
  std::size_t m_bufferBegin = 0;
  std::size_t m_bufferEnd = 0;
  bool m_failed = false;
};

// Produces the file's bytes into a sink; returns an error to abandon the file.
using FileProducer = std::function<std::optional<FileError>(IByteSink&)>;

// Hears the name of the temporary file just before it is created, and an empty path
// once it is gone (renamed to the target or removed), so that a host stopped mid-write
// by a signal can remove what would otherwise be left behind.
using TemporaryFileNotice = std::function<void(const std::filesystem::path&)>;

// Writes `path` whole through `produce`, replacing any existing file only on success.
std::optional<FileError> WriteFileReplacing(const std::filesystem::path& path,
                                            const FileProducer& produce,
                                            const TemporaryFileNotice& notice = {});

}  // namespace tracewell
