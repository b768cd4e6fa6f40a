#pragma once
// What the capture registration registers with when the protocol layers are our own
// (the recorder's proxy, the DevTools layer of a launched browser): registering a
// scheme makes every layer wrap that scheme's exchanges in the capture engine's
// pass-through objects; unregistering stops it. One object serves all layers, so
// one Start/Stop switches them together. Exchanges on any thread ask for their
// binding while the user interface switches recording on and off.

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "capture/capture_registration.h"

namespace tracewell {

class CSchemeBindings final : public IProtocolPlatform,
                              public IInternetSession,
                              public ITargetFactory {
 public:
  HResult GetSession(IInternetSession*& session) override;
  HResult GetDefaultHandler(std::u16string_view scheme,
                            std::shared_ptr<ITargetFactory>& factory) override;

  HResult RegisterNameSpace(std::shared_ptr<CComClassFactoryProtocol> factory,
                            std::u16string_view scheme) override;
  HResult UnregisterNameSpace(const CComClassFactoryProtocol& factory,
                              std::u16string_view scheme) override;
  HResult SetSessionOption(std::uint32_t, std::uint32_t) override { return hr::Ok; }

  // Each layer makes its exchanges' targets itself, tied to what it observes.
  void LockServer(bool) override {}
  HResult CreateTarget(std::shared_ptr<ITargetProtocol>&) override { return hr::NotImpl; }

  // A pass-through object around `target` while `scheme` is registered, else null.
  // `cacheStore` is the layer's own cache (the proxy's response store, the launched
  // browser's disk cache); null takes the registration's.
  std::shared_ptr<CHttpHandlerAPP> NewBinding(std::u16string_view scheme,
                                              std::shared_ptr<ITargetProtocol> target,
                                              ICacheStore* cacheStore = nullptr);

 private:
  std::mutex m_mutex;
  std::map<std::u16string, std::shared_ptr<CComClassFactoryProtocol>, std::less<>> m_factories;
};

}  // namespace tracewell
