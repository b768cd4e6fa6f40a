#pragma once
// The browser's user-data folder: one named by the user is kept as it is; otherwise a
// fresh folder is made under Tracewell's data folder for this session and removed
// when the session ends, so every launch starts with an empty cache and no cookies.

#include <filesystem>
#include <optional>
#include <string>
#include <variant>

namespace tracewell::browser {

class CBrowserProfile {
 public:
  // The folder named, made when missing.
  static std::variant<CBrowserProfile, std::string> Kept(const std::filesystem::path& folder);
  // A new empty folder under `parent` (made when missing).
  static std::variant<CBrowserProfile, std::string> Fresh(const std::filesystem::path& parent);
  // `kept` when the user named one, else a fresh folder under "profiles" in the user's
  // data folder; the reason when neither can be had.
  static std::variant<CBrowserProfile, std::string> Choose(
      const std::optional<std::filesystem::path>& kept);

  CBrowserProfile(CBrowserProfile&& other) noexcept;
  CBrowserProfile& operator=(CBrowserProfile&&) = delete;
  CBrowserProfile(const CBrowserProfile&) = delete;
  CBrowserProfile& operator=(const CBrowserProfile&) = delete;
  // Removes a fresh folder (the browser must have ended); a failure is said on stderr,
  // since nothing else can report it at that point.
  ~CBrowserProfile();

  const std::filesystem::path& Path() const { return m_path; }
  // Where the browser's own output goes: inside the profile.
  std::filesystem::path LogFile() const { return m_path / "chromium.log"; }
  // Where the browser keeps its HTTP disk cache for the default profile.
  std::filesystem::path CacheFolder() const { return m_path / "Default" / "Cache" / "Cache_Data"; }

 private:
  CBrowserProfile(std::filesystem::path path, bool fresh) : m_path(std::move(path)), m_fresh(fresh) {}

  std::filesystem::path m_path;
  bool m_fresh;
};

}  // namespace tracewell::browser
