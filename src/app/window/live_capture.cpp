#include "window/live_capture.h"

#include <QElapsedTimer>

namespace tracewell::app {

CLiveCapture::CLiveCapture(CMainWindowModel& window, CGridTableModel& rows,
                           proxy::ProxyOptions options, proxy::IHostResolver& resolver,
                           const IClock& clock)
    : m_window(window),
      m_rows(rows),
      m_queue(std::make_shared<CCaptureQueue>([this] { ScheduleDrain(); })),
      m_recorder(options, resolver, clock, m_queue) {}

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
  const CGridTableModel::CBatch batch(m_rows);
  for (auto& message : m_queue->TakeAll()) m_pending.push_back(std::move(message));
  for (auto& message : m_pending) m_window.Deliver(std::move(message));
  m_pending.clear();
  m_queue->Close();  // nothing wakes this object any more
  emit delivered();
}

// Runs on a recorder thread: the drain itself is queued to this object's thread.
void CLiveCapture::ScheduleDrain() {
  QMetaObject::invokeMethod(this, &CLiveCapture::Drain, Qt::QueuedConnection);
}

void CLiveCapture::Drain() {
  for (auto& message : m_queue->TakeAll()) m_pending.push_back(std::move(message));
  if (m_pending.empty()) return;
  QElapsedTimer slice;
  slice.start();
  {
    const CGridTableModel::CBatch batch(m_rows);
    while (!m_pending.empty() && slice.elapsed() < kSlice.count()) {
      m_window.Deliver(std::move(m_pending.front()));
      m_pending.pop_front();
    }
  }
  // The rest after one turn of the event loop.
  if (!m_pending.empty()) ScheduleDrain();
  emit delivered();
}

}  // namespace tracewell::app
