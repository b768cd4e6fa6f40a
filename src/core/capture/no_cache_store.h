#pragma once
// The cache store of a layer whose cache the program cannot read (the proxy keeps
// none; a launched browser's cache is its own): every entry query fails, so records
// carry no cache snapshots.

#include "capture/cache_store.h"

namespace tracewell {

class CNoCacheStore final : public ICacheStore {
 public:
  CacheQueryStatus GetUrlCacheEntryInfo(std::u16string_view, CacheEntrySnapshot*,
                                        std::uint32_t&) override {
    return CacheQueryStatus::kFailed;
  }
};

}  // namespace tracewell
