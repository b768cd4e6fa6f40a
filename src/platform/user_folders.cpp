#include "user_folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace tracewell {
namespace {

// Enough for any real password entry; a larger one is refused rather than chased.
constexpr std::size_t kMaxPasswdBuffer = 1 << 20;

std::filesystem::path PasswdHome() {
  std::vector<char> buffer(4096);
  for (;;) {
    passwd entry{};
    passwd* found = nullptr;
    const int error = getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found);
    if (error == ERANGE && buffer.size() < kMaxPasswdBuffer) {
      buffer.resize(buffer.size() * 2);
      continue;
    }
    if (error != 0) {
      throw std::runtime_error("cannot find the home directory: " +
                               std::generic_category().message(error));
    }
    if (found == nullptr || found->pw_dir == nullptr || *found->pw_dir == '\0') {
      throw std::runtime_error("cannot find the home directory: HOME is unset and user " +
                               std::to_string(getuid()) + " has no home in the password database");
    }
    return found->pw_dir;
  }
}

std::filesystem::path HomeDirectory() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
  return PasswdHome();
}

// $VARIABLE/tracewell, else `fallback` under the home. A relative value is ignored:
// it would name a different folder in each working directory.
std::filesystem::path XdgDirectory(const char* variable, const std::filesystem::path& fallback) {
  if (const char* value = std::getenv(variable); value != nullptr && *value == '/') {
    return std::filesystem::path(value) / "tracewell";
  }
  return HomeDirectory() / fallback / "tracewell";
}

}  // namespace

std::filesystem::path UserDataDirectory() { return XdgDirectory("XDG_DATA_HOME", ".local/share"); }

std::filesystem::path UserCacheDirectory() { return XdgDirectory("XDG_CACHE_HOME", ".cache"); }

}  // namespace tracewell
