#pragma once
// The cache store of a layer that has none to ask (a proxy run without its response
// store): every entry query fails, so records carry no cache snapshots.

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
