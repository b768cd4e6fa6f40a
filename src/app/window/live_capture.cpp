#include "window/live_capture.h"

namespace tracewell::app {

CLiveCapture::CLiveCapture(CMainWindowModel& window, CGridTableModel& rows,
                           proxy::ProxyOptions options, proxy::IHostResolver& resolver,
                           const IClock& clock, std::optional<store::StoreSettings> store)
    : m_window(window),
      m_rows(rows),
      m_queue(std::make_shared<CCaptureQueue>([this] { ScheduleDrain(); })),
      m_recorder(options, resolver, clock, m_queue, std::move(store)) {
  m_refresh.setSingleShot(true);
  m_refresh.setInterval(kRefresh);
  connect(&m_refresh, &QTimer::timeout, this, &CLiveCapture::Refresh);
}

CLiveCapture::~CLiveCapture() { Shutdown(); }

proxy::error_code CLiveCapture::Listen() {
  const proxy::error_code ec = m_recorder.Listen();
  m_listening = !ec;
  return ec;
}

void CLiveCapture::Shutdown() {
  if (m_shutDown) return;
  m_shutDown = true;
  m_recorder.StopCapture();
  m_recorder.Shutdown(kShutdownGrace);  // every exchange has posted its last message
  {
    const CGridTableModel::CBatch batch(m_rows);
    for (auto& message : m_queue->TakeAll()) m_pending.push_back(std::move(message));
    for (auto& message : m_pending) m_window.Deliver(std::move(message));
    m_pending.clear();
  }
  m_queue->Close();  // nothing wakes this object any more
  Refresh();
}

// Runs on a recorder thread: the drain itself is queued to this object's thread.
void CLiveCapture::ScheduleDrain() {
  QMetaObject::invokeMethod(this, &CLiveCapture::Drain, Qt::QueuedConnection);
}

CLiveCapture::CDeliveryHold::~CDeliveryHold() {
  if (--m_capture.m_holds == 0) m_capture.ScheduleDrain();
}

void CLiveCapture::Drain() {
  if (m_holds > 0) return;
  for (auto& message : m_queue->TakeAll()) m_pending.push_back(std::move(message));
  if (m_pending.empty()) return;
  if (!m_heldBack) {
    m_heldBack.emplace(m_rows);
    m_heldSince.start();
    m_refresh.start();
  }
  QElapsedTimer slice;
  slice.start();
  while (!m_pending.empty() && slice.elapsed() < kSlice.count()) {
    m_window.Deliver(std::move(m_pending.front()));
    m_pending.pop_front();
  }
  // The rest after one turn of the event loop.
  if (!m_pending.empty()) ScheduleDrain();
  // A steady stream of drains can keep the timer waiting: the time is checked here too.
  if (m_heldSince.elapsed() >= kRefresh.count()) Refresh();
}

void CLiveCapture::Refresh() {
  m_refresh.stop();
  m_heldBack.reset();  // the views hear of everything delivered so far
  emit delivered();
}

}  // namespace tracewell::app
