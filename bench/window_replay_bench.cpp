// The desktop window under a stream of capture messages: a producer thread replays
// recorded requests into the window's capture queue (the path the recorder's threads
// take), four messages each as the capture side sends them, while the GUI thread
// drains, fills the grid and paints. Reports rows per second and the longest stall
// of the GUI thread: the longest single event it handled, during which it could not
// take user input.
//
// Run by hand (offscreen unless a display is set):
//   build/release/bench/tracewell_window_bench [REQUESTS [PER_SECOND]]
// REQUESTS defaults to 100000; PER_SECOND paces the producer (default: as fast as it
// can post).

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "icu_collator.h"
#include "support/capture_replay.h"
#include "support/sample_session.h"
#include "system_clock.h"
#include "window/main_window.h"
#include "window/session_grid_view.h"

namespace tracewell::app {
namespace {

// The application, timing every event it handles at the top of the event loop: the
// longest one is the longest time the GUI thread could not look at user input.
class CTimedApplication final : public QApplication {
 public:
  using QApplication::QApplication;

  bool notify(QObject* receiver, QEvent* event) override {
    if (m_depth++ > 0 || !m_measuring) {
      const bool handled = QApplication::notify(receiver, event);
      --m_depth;
      return handled;
    }
    QElapsedTimer busy;
    busy.start();
    const bool handled = QApplication::notify(receiver, event);
    m_longest = std::max(m_longest, busy.nsecsElapsed());
    --m_depth;
    return handled;
  }
  void StartMeasuring() { m_measuring = true; }
  double LongestMs() const { return static_cast<double>(m_longest) / 1e6; }

 private:
  int m_depth = 0;
  bool m_measuring = false;
  qint64 m_longest = 0;
};

int Run(CTimedApplication& application, std::uint32_t requests, double perSecond) {
  proxy::CSystemResolver resolver;  // no traffic goes through the proxy here
  const SystemClock clock;
  const CIcuCollator collator;
  proxy::ProxyOptions options;
  options.listen.port(0);
  CMainWindow window({options, resolver, clock, collator});
  window.resize(1100, 720);
  window.show();
  window.OnCommand(command::kStart);

  ICaptureNotifier& queue = window.Capture().Notifier();
  const auto producer = [&queue, requests, perSecond] {
    const auto start = std::chrono::steady_clock::now();
    for (std::uint32_t index = 0; index < requests; ++index) {
      if (perSecond > 0) {
        std::this_thread::sleep_until(start + std::chrono::duration_cast<std::chrono::nanoseconds>(
                                                  std::chrono::duration<double>(index / perSecond)));
      }
      const auto record = testing::MakeRealisticRecord(index);
      for (auto& message : testing::CaptureMessagesFor(*record, index)) queue.Post(std::move(message));
    }
  };

  QElapsedTimer elapsed;
  std::thread posting;
  QTimer::singleShot(200, [&] {  // once the window is up and painted
    application.StartMeasuring();
    elapsed.start();
    posting = std::thread(producer);
  });
  QTimer done;
  done.setInterval(5);
  QObject::connect(&done, &QTimer::timeout, [&] {
    const auto& session = window.Model().Session();
    if (session.size() == requests && session.back()->m_stEnded.wYear != 0 &&
        window.Grid().model()->rowCount() == static_cast<int>(requests)) {
      QApplication::quit();
    }
  });
  done.start();
  QApplication::exec();
  const double seconds = static_cast<double>(elapsed.nsecsElapsed()) / 1e9;
  posting.join();
  std::printf("%u requests (%u capture messages)%s: %.2f s, %.0f rows per second, longest "
              "GUI-thread stall %.1f ms\n",
              requests, requests * 4,
              perSecond > 0 ? (" paced at " + std::to_string(static_cast<int>(perSecond)) + "/s").c_str() : "",
              seconds, requests / seconds, application.LongestMs());
  return 0;
}

}  // namespace
}  // namespace tracewell::app

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
      qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  tracewell::app::CTimedApplication application(argc, argv);
  const std::uint32_t requests = argc > 1 ? static_cast<std::uint32_t>(std::stoul(argv[1])) : 100'000;
  const double perSecond = argc > 2 ? std::stod(argv[2]) : 0;
  return tracewell::app::Run(application, requests, perSecond);
}
