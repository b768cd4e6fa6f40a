#include "tls/ca_store.h"

#include <fcntl.h>
#include <openssl/err.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <utility>
#include <system_error>

#include "tls/certificate_builder.h"

namespace tracewell::tls {
namespace {

namespace fs = std::filesystem;

constexpr const char* kCertificateName = "ca.pem";
constexpr const char* kKeyName = "ca.key";
// Fixed names, written only under the directory's lock: a crash leaves at most these
// two behind, and the next creation replaces them.
constexpr const char* kNewCertificateName = "ca.pem.new";
constexpr const char* kNewKeyName = "ca.key.new";
// A CA's PEM files are a few hundred bytes; anything this large is not one.
constexpr off_t kMaxFileSize = 1 << 20;

std::string ErrnoText(int code) { return std::generic_category().message(code); }

StoreError ErrnoError(const std::string& what, const fs::path& path, int code) {
  return {what + " " + path.string() + ": " + ErrnoText(code)};
}

class CFileDescriptor {
 public:
  explicit CFileDescriptor(int fd) : m_fd(fd) {}
  ~CFileDescriptor() {
    if (m_fd >= 0) close(m_fd);
  }
  CFileDescriptor(const CFileDescriptor&) = delete;
  CFileDescriptor& operator=(const CFileDescriptor&) = delete;
  int get() const { return m_fd; }

 private:
  int m_fd;
};

struct Presence {
  bool certificate = false;
  bool key = false;
};

std::variant<Presence, StoreError> Examine(const fs::path& directory) {
  Presence presence;
  for (auto [name, present] : {std::pair{kCertificateName, &presence.certificate},
                               std::pair{kKeyName, &presence.key}}) {
    std::error_code ec;
    *present = fs::exists(directory / name, ec);
    if (ec) return StoreError{"cannot read " + (directory / name).string() + ": " + ec.message()};
  }
  return presence;
}

std::variant<std::string, StoreError> ReadSmallFile(const fs::path& path) {
  const CFileDescriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return ErrnoError("cannot read", path, errno);
  struct stat status {};
  if (fstat(fd.get(), &status) != 0) return ErrnoError("cannot read", path, errno);
  if (!S_ISREG(status.st_mode)) return StoreError{path.string() + ": not a regular file"};
  if (status.st_size > kMaxFileSize) return StoreError{path.string() + ": too large for a CA file"};
  std::string bytes(static_cast<std::size_t>(status.st_size), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t count = read(fd.get(), bytes.data() + done, bytes.size() - done);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return ErrnoError("cannot read", path, errno);
    if (count == 0) break;
    done += static_cast<std::size_t>(count);
  }
  bytes.resize(done);
  return bytes;
}

std::variant<StoredCa, StoreError> Load(const fs::path& directory) {
  const fs::path certificatePath = directory / kCertificateName;
  const fs::path keyPath = directory / kKeyName;
  auto certificateText = ReadSmallFile(certificatePath);
  if (auto* error = std::get_if<StoreError>(&certificateText)) return std::move(*error);
  auto keyText = ReadSmallFile(keyPath);
  if (auto* error = std::get_if<StoreError>(&keyText)) return std::move(*error);

  StoredCa ca{CertificateFromPem(std::get<std::string>(certificateText)), nullptr};
  if (!ca.certificate) {
    return StoreError{certificatePath.string() + ": not a PEM certificate (" + OpenSslErrorText() + ")"};
  }
  ca.key = PrivateKeyFromPem(std::get<std::string>(keyText));
  if (!ca.key) {
    return StoreError{keyPath.string() + ": not an unencrypted PEM private key (" +
                      OpenSslErrorText() + ")"};
  }
  if (X509_check_ca(ca.certificate.get()) != 1) {
    return StoreError{certificatePath.string() + ": the certificate is not a certificate authority"};
  }
  if (X509_check_private_key(ca.certificate.get(), ca.key.get()) != 1) {
    ERR_clear_error();  // the mismatch is the whole story
    return StoreError{keyPath.string() + ": the key does not belong to the certificate in " +
                      certificatePath.string()};
  }
  return ca;
}

// Creates the missing directories of `directory`, each 0700 whatever the umask.
std::optional<StoreError> MakeDirectories(const fs::path& directory) {
  fs::path current;
  for (const auto& part : directory) {
    current /= part;
    if (mkdir(current.c_str(), 0700) == 0) {
      if (chmod(current.c_str(), 0700) != 0) return ErrnoError("cannot set the mode of", current, errno);
    } else if (errno != EEXIST) {
      return ErrnoError("cannot create", current, errno);
    }
  }
  return std::nullopt;
}

// Writes `name` in the directory whole and flushed to disk, created with `mode` so
// that no byte is ever readable by others.
std::optional<StoreError> WriteDurably(int directoryFd, const fs::path& directory, const char* name,
                                       const std::string& bytes, mode_t mode) {
  if (unlinkat(directoryFd, name, 0) != 0 && errno != ENOENT) {
    return ErrnoError("cannot remove", directory / name, errno);
  }
  const CFileDescriptor fd(
      openat(directoryFd, name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode));
  if (fd.get() < 0 || fchmod(fd.get(), mode) != 0) return ErrnoError("cannot write", directory / name, errno);
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t count = write(fd.get(), bytes.data() + done, bytes.size() - done);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return ErrnoError("cannot write", directory / name, errno);
    done += static_cast<std::size_t>(count);
  }
  if (fsync(fd.get()) != 0) return ErrnoError("cannot write", directory / name, errno);
  return std::nullopt;
}

std::optional<StoreError> RenameDurably(int directoryFd, const fs::path& directory, const char* from,
                                        const char* to) {
  if (renameat(directoryFd, from, directoryFd, to) != 0) {
    return ErrnoError("cannot rename " + (directory / from).string() + " to", directory / to, errno);
  }
  if (fsync(directoryFd) != 0) return ErrnoError("cannot write", directory, errno);
  return std::nullopt;
}

std::optional<StoreError> WriteTemporaries(int directoryFd, const fs::path& directory,
                                           const StoredCa& ca) {
  if (auto error = WriteDurably(directoryFd, directory, kNewKeyName, PrivateKeyPem(ca.key.get()), 0600)) {
    return error;
  }
  return WriteDurably(directoryFd, directory, kNewCertificateName, CertificatePem(ca.certificate.get()),
                      0644);
}

// The key goes in first and the certificate last, so that a crash between the two
// renames leaves ca.key beside ca.pem.new, which FinishInterrupted completes.
std::optional<StoreError> Store(int directoryFd, const fs::path& directory, const StoredCa& ca) {
  if (auto error = WriteTemporaries(directoryFd, directory, ca)) {
    // No copy of the key is left lying around after a failed write.
    for (const char* name : {kNewKeyName, kNewCertificateName}) {
      if (unlinkat(directoryFd, name, 0) != 0 && errno != ENOENT) {
        error->message += "; " + ErrnoError("cannot remove", directory / name, errno).message;
      }
    }
    return error;
  }
  if (auto error = RenameDurably(directoryFd, directory, kNewKeyName, kKeyName)) return error;
  return RenameDurably(directoryFd, directory, kNewCertificateName, kCertificateName);
}

// ca.key with no ca.pem but a ca.pem.new and no ca.key.new is a creation stopped
// between its two renames (the certificate was whole before the key was moved):
// the last rename completes it.
std::optional<StoreError> FinishInterrupted(int directoryFd, const fs::path& directory,
                                            Presence& presence) {
  if (presence.certificate || !presence.key) return std::nullopt;
  struct stat status {};
  if (fstatat(directoryFd, kNewCertificateName, &status, AT_SYMLINK_NOFOLLOW) != 0 ||
      fstatat(directoryFd, kNewKeyName, &status, AT_SYMLINK_NOFOLLOW) == 0) {
    return std::nullopt;
  }
  if (auto error = RenameDurably(directoryFd, directory, kNewCertificateName, kCertificateName)) {
    return error;
  }
  presence.certificate = true;
  return std::nullopt;
}

StoreError HalfCaError(const fs::path& directory, const Presence& presence) {
  const fs::path present = directory / (presence.certificate ? kCertificateName : kKeyName);
  const fs::path missing = directory / (presence.certificate ? kKeyName : kCertificateName);
  return {missing.string() + " is missing beside " + present.string() +
          "; restore it, or move both away to have a new certificate authority made"};
}

}  // namespace

std::variant<StoredCa, StoreError> LoadOrStoreCa(const fs::path& directory,
                                                 const std::function<StoredCa()>& make) {
  // A whole CA is read without the lock, so that one in a directory this user may not
  // write still loads; anything else is looked at again under the lock.
  auto examined = Examine(directory);
  if (auto* error = std::get_if<StoreError>(&examined)) return std::move(*error);
  if (const auto& presence = std::get<Presence>(examined); presence.certificate && presence.key) {
    return Load(directory);
  }

  if (auto error = MakeDirectories(directory)) return std::move(*error);
  const CFileDescriptor directoryFd(open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (directoryFd.get() < 0) return ErrnoError("cannot open", directory, errno);
  while (flock(directoryFd.get(), LOCK_EX) != 0) {
    if (errno != EINTR) return ErrnoError("cannot lock", directory, errno);
  }  // released when directoryFd closes

  examined = Examine(directory);
  if (auto* error = std::get_if<StoreError>(&examined)) return std::move(*error);
  auto& presence = std::get<Presence>(examined);
  if (auto error = FinishInterrupted(directoryFd.get(), directory, presence)) return std::move(*error);
  if (presence.certificate && presence.key) return Load(directory);
  if (presence.certificate || presence.key) return HalfCaError(directory, presence);
  StoredCa ca = make();
  if (auto error = Store(directoryFd.get(), directory, ca)) return std::move(*error);
  return ca;
}

}  // namespace tracewell::tls
