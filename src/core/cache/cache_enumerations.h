#pragma once
// The open enumerations of a cache store, each under the handle its find-first gave.
// Every store offers entries from an enumeration of its own kind; the handles are
// kept the same way by all of them.

#include <map>
#include <utility>

#include "cache/cache_entry_store.h"

namespace tracewell {

template <typename Enumeration>
class CCacheEnumerations {
 public:
  // Offers the first entry of `enumeration`; only an entry offered (kOk) opens it,
  // under a new `handle`.
  template <typename Offer>
  CacheFindResult Start(Enumeration enumeration, CacheFindHandle& handle, Offer&& offer) {
    const CacheFindResult first = offer(enumeration);
    if (first.status == CacheQueryStatus::kOk) {
      handle = m_nextHandle++;
      m_open.emplace(handle, std::move(enumeration));
    }
    return first;
  }

  // The next offer of the enumeration `handle` names; a handle not open fails.
  template <typename Offer>
  CacheFindResult Next(CacheFindHandle handle, Offer&& offer) {
    Enumeration* enumeration = Find(handle);
    if (enumeration == nullptr) return {CacheQueryStatus::kFailed, kErrorInvalidHandle};
    return offer(*enumeration);
  }

  Enumeration* Find(CacheFindHandle handle) {
    const auto it = m_open.find(handle);
    return it == m_open.end() ? nullptr : &it->second;
  }
  void Close(CacheFindHandle handle) { m_open.erase(handle); }

  // Every open enumeration, for a store whose changes move their places.
  template <typename Visit>
  void ForEach(Visit&& visit) {
    for (auto& [handle, enumeration] : m_open) visit(enumeration);
  }

 private:
  std::map<CacheFindHandle, Enumeration> m_open;
  CacheFindHandle m_nextHandle = 1;
};

}  // namespace tracewell
