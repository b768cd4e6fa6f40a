#pragma once
// The cache entries the manager lists: cached responses grouped by web host, and
// the cookies. Entries are told apart by the prefix of their name.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "record/cache_entry_snapshot.h"

namespace tracewell {

inline constexpr std::u16string_view kHttpEntryPrefix = u"http://";
inline constexpr std::u16string_view kCookieEntryPrefix = u"Cookie:";
// The platform's host-name buffer holds this many code units with the terminating NUL.
inline constexpr std::size_t kHostNameBufferLength = 260;

// The platform's URL parser.
class IUrlHostParser {
 public:
  virtual ~IUrlHostParser() = default;
  // The host part of `url`, or nothing when the URL cannot be parsed.
  virtual std::optional<std::u16string> HostName(std::u16string_view url) const = 0;
};

struct CacheHostGroup {
  std::u16string host;  // spelled as in the first entry met
  std::vector<CacheEntrySnapshot> entries;
};

class CCacheEntryGroups {
 public:
  explicit CCacheEntryGroups(const IUrlHostParser& urls) : m_urls(urls) {}

  // Files the entry: "http://" (any case) into its host's group, the first group
  // whose host equals it without regard to case, or a new group at the end;
  // "Cookie:" (any case) into the cookies. Every other entry, and an "http://" one
  // whose host cannot be parsed or does not fit the host buffer, is dropped.
  void ClassifyCacheEntry(CacheEntrySnapshot&& entry);

  const std::vector<CacheHostGroup>& Groups() const { return m_groups; }
  const std::vector<CacheEntrySnapshot>& Cookies() const { return m_cookies; }
  // The group whose host is exactly `host`, or null.
  const CacheHostGroup* FindGroup(std::u16string_view host) const;
  // Removes that group and hands over its entries (none when there is no such group).
  std::vector<CacheEntrySnapshot> TakeGroup(std::u16string_view host);
  // Empties the cookie list and hands over its entries.
  std::vector<CacheEntrySnapshot> TakeCookies();

 private:
  void AddToHostGroup(std::u16string host, CacheEntrySnapshot&& entry);

  const IUrlHostParser& m_urls;
  std::vector<CacheHostGroup> m_groups;
  std::vector<CacheEntrySnapshot> m_cookies;
};

}  // namespace tracewell
