#include "browser_profile.h"

#include <stdlib.h>

#include <cerrno>
#include <optional>
#include <iostream>
#include <stdexcept>
#include <system_error>

#include "user_folders.h"

namespace tracewell::browser {
namespace {

std::optional<std::string> MakeFolders(const std::filesystem::path& folder) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) return "cannot make the browser profile folder " + folder.string() + ": " + ec.message();
  return std::nullopt;
}

}  // namespace

std::variant<CBrowserProfile, std::string> CBrowserProfile::Kept(const std::filesystem::path& folder) {
  if (auto error = MakeFolders(folder)) return std::move(*error);
  return CBrowserProfile(folder, false);
}

std::variant<CBrowserProfile, std::string> CBrowserProfile::Fresh(const std::filesystem::path& parent) {
  if (auto error = MakeFolders(parent)) return std::move(*error);
  std::string name = (parent / "profile-XXXXXX").string();
  if (mkdtemp(name.data()) == nullptr) {
    return "cannot make a browser profile folder in " + parent.string() + ": " +
           std::generic_category().message(errno);
  }
  return CBrowserProfile(name, true);
}

std::variant<CBrowserProfile, std::string> CBrowserProfile::Choose(
    const std::optional<std::filesystem::path>& kept) {
  if (kept) return Kept(*kept);
  try {
    return Fresh(UserDataDirectory() / "profiles");
  } catch (const std::runtime_error& error) {
    return std::string(error.what());  // no home folder at all
  }
}

CBrowserProfile::CBrowserProfile(CBrowserProfile&& other) noexcept
    : m_path(std::move(other.m_path)), m_fresh(other.m_fresh) {
  other.m_fresh = false;
}

CBrowserProfile::~CBrowserProfile() {
  if (!m_fresh) return;
  std::error_code ec;
  std::filesystem::remove_all(m_path, ec);
  if (ec) std::cerr << "tracewell: cannot remove the browser profile " << m_path << ": " << ec.message() << "\n";
}

}  // namespace tracewell::browser
