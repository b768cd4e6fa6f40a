#pragma once
// Cookies offered to the cookie and cache manager as cache entries named
// "Cookie:<name>@<domain><path>", so that "Clear Cookie" and "Clear All Cookies" reach
// them like any other entry. Where the cookies live (a launched browser, or only the
// session's responses) is the owner's business: deleting an entry calls it back.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "cache/cache_entry_store.h"
#include "cache/cache_enumerations.h"

namespace tracewell {

struct StoredCookie {
  std::u16string name;
  std::u16string domain;
  std::u16string path;
  std::u16string value;

  friend bool operator==(const StoredCookie&, const StoredCookie&) = default;
};

std::u16string CookieEntryName(const StoredCookie& cookie);

class CCookieEntryStore final : public ICacheEnumerationStore {
 public:
  using DeleteHandler = std::function<void(const StoredCookie& cookie)>;

  CCookieEntryStore(std::vector<StoredCookie> cookies, DeleteHandler onDelete);

  // A pattern selects the entries whose name begins with it, without regard to case.
  CacheFindResult FindFirstUrlCacheEntry(std::optional<std::u16string_view> pattern,
                                         CacheEntrySnapshot& entry, std::uint32_t& bufferSize,
                                         CacheFindHandle& handle) override;
  CacheFindResult FindNextUrlCacheEntry(CacheFindHandle handle, CacheEntrySnapshot& entry,
                                        std::uint32_t& bufferSize) override;
  void FindCloseUrlCache(CacheFindHandle handle) override;
  void DeleteUrlCacheEntry(std::u16string_view name) override;

  const std::vector<StoredCookie>& Cookies() const { return m_cookies; }

 private:
  struct Enumeration {
    std::u16string pattern;
    std::size_t next = 0;  // the index of the cookie to offer next
  };
  CacheFindResult Offer(Enumeration& enumeration, CacheEntrySnapshot& entry, std::uint32_t& bufferSize);

  std::vector<StoredCookie> m_cookies;
  DeleteHandler m_onDelete;
  CCacheEnumerations<Enumeration> m_enumerations;
};

}  // namespace tracewell
