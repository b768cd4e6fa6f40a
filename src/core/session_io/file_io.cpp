#include "session_io/file_io.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#endif

namespace tracewell {
namespace {

constexpr std::size_t kBufferSize = 1 << 20;

FileError ErrnoError(const std::string& what, int code) {
  return {what + ": " + std::generic_category().message(code)};
}

class FileByteSink final : public IByteSink {
 public:
  explicit FileByteSink(std::FILE* file) : m_file(file) {}
  void Write(std::string_view bytes) override {
    if (m_errno != 0 || bytes.empty()) return;
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size()) {
      m_errno = errno != 0 ? errno : EIO;
    }
  }
  int error() const { return m_errno; }

 private:
  std::FILE* m_file;
  int m_errno = 0;
};

// A name beside the target that no other writer uses.
std::filesystem::path TemporaryNameFor(const std::filesystem::path& path) {
  static thread_local std::mt19937_64 random{std::random_device{}()};
  auto name = path;
  name += ".tmp-" + std::to_string(random() % 1'000'000'000);
  return name;
}

// Windows takes file names in UTF-16: a narrow name would go through the ANSI code
// page and could not name every file.
std::FILE* OpenForReading(const std::filesystem::path& path) {
#ifdef _WIN32
  return _wfopen(path.c_str(), L"rb");
#else
  return std::fopen(path.c_str(), "rb");
#endif
}

// Creates `path` for writing, failing when it exists already.
std::FILE* CreateNewFile(const std::filesystem::path& path) {
#ifdef _WIN32
  const int descriptor = _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
                                _S_IREAD | _S_IWRITE);
  if (descriptor < 0) return nullptr;
  std::FILE* file = _fdopen(descriptor, "wb");
  if (file == nullptr) {
    const int code = errno;  // the caller reports why the open failed, not the close
    _close(descriptor);
    errno = code;
  }
  return file;
#else
  return std::fopen(path.c_str(), "wbx");
#endif
}

}  // namespace

std::unique_ptr<FileByteSource> FileByteSource::Open(const std::filesystem::path& path,
                                                     FileError& error) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    error = {"cannot open " + path.string() + ": Is a directory"};
    return nullptr;
  }
  std::FILE* file = OpenForReading(path);
  if (file == nullptr) {
    error = ErrnoError("cannot open " + path.string(), errno);
    return nullptr;
  }
  const auto size = std::filesystem::file_size(path, ec);
  if (ec) {
    std::fclose(file);
    error = {"cannot open " + path.string() + ": " + ec.message()};
    return nullptr;
  }
  return std::unique_ptr<FileByteSource>(new FileByteSource(file, size));
}

FileByteSource::FileByteSource(std::FILE* file, std::uint64_t size)
    : m_file(file), m_size(size), m_buffer(kBufferSize) {}

FileByteSource::~FileByteSource() { std::fclose(m_file); }

bool FileByteSource::Refill() {
  m_bufferBegin = 0;
  m_bufferEnd = std::fread(m_buffer.data(), 1, m_buffer.size(), m_file);
  if (m_bufferEnd == 0 && std::ferror(m_file)) m_failed = true;
  return m_bufferEnd > 0;
}

std::size_t FileByteSource::Read(char* dest, std::size_t count) {
  std::size_t done = 0;
  while (done < count && !m_failed) {
    if (m_bufferBegin == m_bufferEnd && !Refill()) break;
    const std::size_t n = std::min(count - done, m_bufferEnd - m_bufferBegin);
    std::memcpy(dest + done, m_buffer.data() + m_bufferBegin, n);
    m_bufferBegin += n;
    done += n;
  }
  m_position += done;
  // A file that shrank while we read it is a failed read, not a short file.
  if (done < count && m_position < m_size) m_failed = true;
  return done;
}

std::optional<FileError> WriteFileReplacing(const std::filesystem::path& path,
                                            const FileProducer& produce,
                                            const TemporaryFileNotice& notice) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    return FileError{"cannot write " + path.string() + ": Is a directory"};
  }
  const auto temporary = TemporaryNameFor(path);
  if (notice) notice(temporary);
  std::FILE* file = CreateNewFile(temporary);
  if (file == nullptr) {
    const int code = errno;
    if (notice) notice({});
    return ErrnoError("cannot write " + path.string(), code);
  }

  FileByteSink sink(file);
  std::optional<FileError> error = produce(sink);
  if (!error && sink.error() != 0) error = ErrnoError("cannot write " + path.string(), sink.error());
  if (!error && std::fflush(file) != 0) error = ErrnoError("cannot write " + path.string(), errno);
  if (std::fclose(file) != 0 && !error) error = ErrnoError("cannot write " + path.string(), errno);
  if (!error) {
    std::filesystem::rename(temporary, path, ec);
    if (ec) error = FileError{"cannot write " + path.string() + ": " + ec.message()};
  }
  if (error) std::filesystem::remove(temporary, ec);
  if (notice) notice({});
  return error;
}

}  // namespace tracewell
