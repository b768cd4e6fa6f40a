#include "tls/leaf_cache.h"

#include <algorithm>
#include <stdexcept>

namespace tracewell::tls {
namespace {

// The longest DNS name in text form.
constexpr std::size_t kMaxNameLength = 253;

bool IsNameByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
         c == '-' || c == '_' || c == '*' || c == ':';
}

// `name` in lower case, or std::invalid_argument when it cannot be a host name or an
// IP literal.
std::string CheckedName(std::string_view name) {
  if (name.empty() || name.size() > kMaxNameLength) {
    throw std::invalid_argument("a certificate name must have 1 to 253 bytes, not " +
                                std::to_string(name.size()));
  }
  if (!std::all_of(name.begin(), name.end(), IsNameByte)) {
    throw std::invalid_argument("a certificate name may have only letters, digits and . - _ * :");
  }
  std::string lower(name);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
  return lower;
}

}  // namespace

CLeafCache::CLeafCache(const CCertificateAuthority& authority, std::size_t capacity)
    : m_authority(authority), m_capacity(std::max<std::size_t>(capacity, 1)) {}

std::shared_ptr<X509> CLeafCache::Leaf(std::string_view name) {
  std::string key = CheckedName(name);
  // Issuing happens under the lock: a name asked for by many connections at once is
  // signed once, and the CA signs one leaf at a time anyway.
  const std::lock_guard lock(m_mutex);
  if (const auto found = m_byName.find(key); found != m_byName.end()) {
    m_entries.splice(m_entries.begin(), m_entries, found->second);
    return found->second->leaf;
  }
  std::shared_ptr<X509> leaf(m_authority.IssueLeaf(key).release(), X509_free);
  if (m_entries.size() >= m_capacity) {
    m_byName.erase(m_entries.back().name);
    m_entries.pop_back();
  }
  m_entries.push_front({std::move(key), leaf});
  m_byName.emplace(m_entries.front().name, m_entries.begin());
  return leaf;
}

std::size_t CLeafCache::Size() const {
  const std::lock_guard lock(m_mutex);
  return m_entries.size();
}

}  // namespace tracewell::tls
