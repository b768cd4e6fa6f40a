#pragma once
// The leaf certificates already issued, so that each name is signed once.

#include <cstddef>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

#include "tls/certificate_authority.h"

namespace tracewell::tls {

// Leaves already issued, by name, at most `capacity` (least recently used dropped
// first), so that thousands of distinct names never grow memory without bound.
// Thread-safe (the proxy's threads share it).
class CLeafCache {
 public:
  explicit CLeafCache(const CCertificateAuthority& authority, std::size_t capacity = 1024);

  // The leaf for `name`, issued on a miss; throws as IssueLeaf does. Names compare
  // without regard to case. Since names come from clients, an empty one, one longer
  // than 253 bytes or one with a byte outside [A-Za-z0-9.-_*:] is refused with
  // std::invalid_argument.
  std::shared_ptr<X509> Leaf(std::string_view name);
  std::size_t Size() const;
  const CCertificateAuthority& Authority() const { return m_authority; }

 private:
  struct Entry {
    std::string name;
    std::shared_ptr<X509> leaf;
  };

  const CCertificateAuthority& m_authority;
  const std::size_t m_capacity;
  mutable std::mutex m_mutex;
  std::list<Entry> m_entries;  // most recently used first
  std::unordered_map<std::string_view, std::list<Entry>::iterator> m_byName;  // views into m_entries
};

}  // namespace tracewell::tls
