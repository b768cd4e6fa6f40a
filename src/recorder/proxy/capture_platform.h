#pragma once
// Recording on Linux: what the capture registration registers with. Registering a
// scheme makes the proxy wrap that scheme's exchanges in the capture engine's
// pass-through objects; unregistering stops it. Exchanges on any thread ask for
// their binding while the user interface switches recording on and off.

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "capture/cache_store.h"
#include "capture/capture_registration.h"

namespace tracewell::proxy {

class CProxyCapturePlatform final : public IProtocolPlatform,
                                    public IInternetSession,
                                    public ITargetFactory,
                                    public ICacheStore {
 public:
  HResult GetSession(IInternetSession*& session) override;
  HResult GetDefaultHandler(std::u16string_view scheme,
                            std::shared_ptr<ITargetFactory>& factory) override;

  HResult RegisterNameSpace(std::shared_ptr<CComClassFactoryProtocol> factory,
                            std::u16string_view scheme) override;
  HResult UnregisterNameSpace(const CComClassFactoryProtocol& factory,
                              std::u16string_view scheme) override;
  HResult SetSessionOption(std::uint32_t, std::uint32_t) override { return hr::Ok; }

  // The proxy makes each exchange's target itself, tied to its connections.
  void LockServer(bool) override {}
  HResult CreateTarget(std::shared_ptr<ITargetProtocol>&) override { return hr::NotImpl; }

  // The proxy keeps no response cache yet: nothing is ever cached.
  CacheQueryStatus GetUrlCacheEntryInfo(std::u16string_view, CacheEntrySnapshot*,
                                        std::uint32_t&) override {
    return CacheQueryStatus::kFailed;
  }

  // A pass-through object around `target` while `scheme` is registered, else null.
  std::shared_ptr<CHttpHandlerAPP> NewBinding(std::u16string_view scheme,
                                              std::shared_ptr<ITargetProtocol> target);

 private:
  std::mutex m_mutex;
  std::map<std::u16string, std::shared_ptr<CComClassFactoryProtocol>, std::less<>> m_factories;
};

}  // namespace tracewell::proxy
