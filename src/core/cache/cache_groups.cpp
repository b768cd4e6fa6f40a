#include "cache/cache_groups.h"

#include <algorithm>
#include <utility>

#include "http_text/splitting.h"

namespace tracewell {

void CCacheEntryGroups::ClassifyCacheEntry(CacheEntrySnapshot&& entry) {
  const std::u16string_view name = entry.SourceUrlName;
  if (StartsWithIgnoringCase(name, kHttpEntryPrefix)) {
    std::optional<std::u16string> host = m_urls.HostName(name);
    if (host && host->size() < kHostNameBufferLength) AddToHostGroup(std::move(*host), std::move(entry));
  } else if (StartsWithIgnoringCase(name, kCookieEntryPrefix)) {
    m_cookies.push_back(std::move(entry));
  }
}

void CCacheEntryGroups::AddToHostGroup(std::u16string host, CacheEntrySnapshot&& entry) {
  const auto group = std::ranges::find_if(
      m_groups, [&](const CacheHostGroup& g) { return EqualsIgnoringCase(g.host, host); });
  if (group != m_groups.end()) {
    group->entries.push_back(std::move(entry));
    return;
  }
  CacheHostGroup& added = m_groups.emplace_back();
  added.host = std::move(host);
  added.entries.push_back(std::move(entry));
}

const CacheHostGroup* CCacheEntryGroups::FindGroup(std::u16string_view host) const {
  const auto group = std::ranges::find(m_groups, host, &CacheHostGroup::host);
  return group == m_groups.end() ? nullptr : &*group;
}

std::vector<CacheEntrySnapshot> CCacheEntryGroups::TakeGroup(std::u16string_view host) {
  const auto group = std::ranges::find(m_groups, host, &CacheHostGroup::host);
  if (group == m_groups.end()) return {};
  std::vector<CacheEntrySnapshot> entries = std::move(group->entries);
  m_groups.erase(group);
  return entries;
}

std::vector<CacheEntrySnapshot> CCacheEntryGroups::TakeCookies() { return std::exchange(m_cookies, {}); }

}  // namespace tracewell
