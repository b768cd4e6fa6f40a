#include "recorder.h"

namespace tracewell {

CRecorder::CRecorder(proxy::ProxyOptions options, proxy::IHostResolver& resolver,
                     const IClock& clock, std::shared_ptr<ICaptureNotifier> notifier,
                     std::optional<store::StoreSettings> store)
    : m_registration(m_bindings, CaptureServices{clock, m_cacheStore}),
      m_notifier(std::move(notifier)),
      m_store(store ? std::make_unique<store::CResponseStore>(std::move(*store)) : nullptr),
      m_server(std::make_unique<proxy::CProxyServer>(options, resolver, m_bindings, m_store.get())) {}

CRecorder::~CRecorder() { Shutdown(std::chrono::milliseconds(0)); }

proxy::error_code CRecorder::Listen() {
  const proxy::error_code ec = m_server->Start();
  if (!ec) m_endpoint = m_server->LocalEndpoint();
  return ec;
}

void CRecorder::StartCapture() { m_registration.StartCapture(m_notifier); }

void CRecorder::StopCapture() { m_registration.StopCapture(); }

void CRecorder::Shutdown(std::chrono::milliseconds grace) {
  if (!m_server) return;
  m_server->Stop(grace);
  m_server.reset();  // exchanges still suspended end here, as aborted
}

}  // namespace tracewell
