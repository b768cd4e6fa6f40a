#pragma once
// The recorder inside the window's process. Its threads queue capture messages;
// the first message into an empty queue asks the GUI thread for a drain, and each
// drain hands the messages to the session in slices of a few milliseconds, so a
// burst of traffic never holds the event loop for long. The grid's views hear of
// what arrived at most every refresh interval: under heavy traffic the window
// repaints a few times a second instead of after every slice.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <deque>
#include <memory>
#include <optional>

#include "capture/capture_queue.h"
#include "recorder.h"
#include "views/main_window_model.h"
#include "window/grid_table_model.h"

namespace tracewell::app {

class CLiveCapture final : public QObject {
  Q_OBJECT

 public:
  // How long one slice of a drain may deliver.
  static constexpr std::chrono::milliseconds kSlice{12};
  // How often the views hear of delivered messages, at most.
  static constexpr std::chrono::milliseconds kRefresh{50};
  // How long running requests get to finish when the window closes.
  static constexpr std::chrono::milliseconds kShutdownGrace{2000};

  // With `store`, the proxy keeps its responses there (see CRecorder).
  CLiveCapture(CMainWindowModel& window, CGridTableModel& rows, proxy::ProxyOptions options,
               proxy::IHostResolver& resolver, const IClock& clock,
               std::optional<store::StoreSettings> store = std::nullopt);
  ~CLiveCapture() override;

  // Starts the proxy (recording stays off); the error when it cannot listen.
  proxy::error_code Listen();
  bool IsListening() const { return m_listening; }
  proxy::tcp::endpoint Endpoint() const { return m_recorder.Endpoint(); }
  ICaptureSwitch& Switch() { return m_recorder; }
  // Where every protocol layer of the window gets its capture bindings.
  CSchemeBindings& Bindings() { return m_recorder.Bindings(); }
  // The proxy's response store; null without one.
  store::CResponseStore* Store() { return m_recorder.Store(); }
  // Where capture messages enter; the recorder's threads post here.
  ICaptureNotifier& Notifier() { return *m_queue; }

  // Stops the proxy within the grace, then delivers every last message.
  void Shutdown();

  // While a hold lives, messages wait in the queue and the session does not change:
  // long file work that lets events through (its progress dialog) reads or replaces
  // the session meanwhile. The last hold to end schedules a drain.
  class CDeliveryHold {
   public:
    explicit CDeliveryHold(CLiveCapture& capture) : m_capture(capture) { ++m_capture.m_holds; }
    ~CDeliveryHold();
    CDeliveryHold(const CDeliveryHold&) = delete;
    CDeliveryHold& operator=(const CDeliveryHold&) = delete;

   private:
    CLiveCapture& m_capture;
  };

 signals:
  // Messages reached the session and the grid's views were told.
  void delivered();

 private:
  void Drain();
  void ScheduleDrain();
  void Refresh();

  CMainWindowModel& m_window;
  CGridTableModel& m_rows;
  std::shared_ptr<CCaptureQueue> m_queue;
  CRecorder m_recorder;
  std::deque<CaptureMessage> m_pending;  // taken from the queue, not yet delivered
  std::optional<CGridTableModel::CBatch> m_heldBack;  // open from a drain to the refresh
  QElapsedTimer m_heldSince;
  QTimer m_refresh;
  bool m_listening = false;
  bool m_shutDown = false;
  int m_holds = 0;
};

}  // namespace tracewell::app
