#include "cache/cookie_entry_store.h"

#include <algorithm>
#include <utility>

#include "cache/cache_groups.h"
#include "http_text/splitting.h"

namespace tracewell {

std::u16string CookieEntryName(const StoredCookie& cookie) {
  return std::u16string(kCookieEntryPrefix) + cookie.name + u'@' + cookie.domain + cookie.path;
}

CCookieEntryStore::CCookieEntryStore(std::vector<StoredCookie> cookies, DeleteHandler onDelete)
    : m_cookies(std::move(cookies)), m_onDelete(std::move(onDelete)) {}

CacheFindResult CCookieEntryStore::FindFirstUrlCacheEntry(std::optional<std::u16string_view> pattern,
                                                          CacheEntrySnapshot& entry, std::uint32_t& bufferSize,
                                                          CacheFindHandle& handle) {
  return m_enumerations.Start({std::u16string(pattern.value_or(std::u16string_view())), 0}, handle,
                              [&](Enumeration& e) { return Offer(e, entry, bufferSize); });
}

CacheFindResult CCookieEntryStore::FindNextUrlCacheEntry(CacheFindHandle handle, CacheEntrySnapshot& entry,
                                                         std::uint32_t& bufferSize) {
  return m_enumerations.Next(handle, [&](Enumeration& e) { return Offer(e, entry, bufferSize); });
}

void CCookieEntryStore::FindCloseUrlCache(CacheFindHandle handle) { m_enumerations.Close(handle); }

void CCookieEntryStore::DeleteUrlCacheEntry(std::u16string_view name) {
  const auto it = std::ranges::find_if(m_cookies, [&](const StoredCookie& c) { return CookieEntryName(c) == name; });
  if (it == m_cookies.end()) return;
  const auto index = static_cast<std::size_t>(it - m_cookies.begin());
  const StoredCookie deleted = std::move(*it);
  m_cookies.erase(it);
  // Enumerations still open go on with the cookie that moved into the gap.
  m_enumerations.ForEach([&](Enumeration& enumeration) {
    if (enumeration.next > index) --enumeration.next;
  });
  m_onDelete(deleted);
}

CacheFindResult CCookieEntryStore::Offer(Enumeration& enumeration, CacheEntrySnapshot& entry,
                                         std::uint32_t& bufferSize) {
  for (; enumeration.next < m_cookies.size(); ++enumeration.next) {
    const StoredCookie& cookie = m_cookies[enumeration.next];
    CacheEntrySnapshot found;
    found.SourceUrlName = CookieEntryName(cookie);
    if (!StartsWithIgnoringCase(found.SourceUrlName, enumeration.pattern)) continue;
    found.CacheEntryType = kCookieCacheEntry;
    found.SizeLow = static_cast<std::uint32_t>(cookie.value.size());
    const CacheQueryStatus status = AnswerCacheEntry(found, &entry, bufferSize);
    if (status == CacheQueryStatus::kOk) ++enumeration.next;
    return {status, 0};
  }
  return {CacheQueryStatus::kNoMoreItems, 0};
}

}  // namespace tracewell
