#pragma once
// The recorder: the proxy that always forwards, plus the capture registration that
// makes it record while recording is on. Start and Stop of the user interface come
// in as StartCapture and StopCapture.

#include <memory>

#include "capture/capture_registration.h"
#include "capture/capture_switch.h"
#include "capture/no_cache_store.h"
#include "capture/scheme_bindings.h"
#include "proxy/proxy_server.h"
#include "store/response_store.h"

namespace tracewell {

class CRecorder final : public ICaptureSwitch {
 public:
  // Records reach `notifier` (the receiving side's queue) while recording is on.
  // With `store`, the proxy keeps what a private cache would of its responses there,
  // and records' cache snapshots come from it.
  CRecorder(proxy::ProxyOptions options, proxy::IHostResolver& resolver, const IClock& clock,
            std::shared_ptr<ICaptureNotifier> notifier,
            std::optional<store::StoreSettings> store = std::nullopt);
  ~CRecorder() override;
  CRecorder(const CRecorder&) = delete;
  CRecorder& operator=(const CRecorder&) = delete;

  // Starts forwarding (recording stays off); the error when the address is taken.
  proxy::error_code Listen();
  proxy::tcp::endpoint Endpoint() const { return m_endpoint; }

  void StartCapture() override;
  void StopCapture() override;

  // The registration's bindings, for another protocol layer (a launched browser's)
  // that Start and Stop switch together with the proxy.
  CSchemeBindings& Bindings() { return m_bindings; }
  // The proxy's response store, for the cookie and cache manager; null without one.
  store::CResponseStore* Store() { return m_store.get(); }

  // Stops accepting, lets running exchanges end within `grace`, then cuts the rest
  // off; every exchange has ended (and said so to the notifier) when this returns.
  void Shutdown(std::chrono::milliseconds grace);

 private:
  CSchemeBindings m_bindings;
  CNoCacheStore m_cacheStore;
  CCaptureRegistration m_registration;
  std::shared_ptr<ICaptureNotifier> m_notifier;
  std::unique_ptr<store::CResponseStore> m_store;  // outlives the server, whose exchanges write it
  std::unique_ptr<proxy::CProxyServer> m_server;
  proxy::tcp::endpoint m_endpoint;
};

}  // namespace tracewell
