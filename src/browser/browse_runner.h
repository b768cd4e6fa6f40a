#pragma once
// A browse session driven from one thread that waits for it: the command line and
// the tests. The runner owns the task queue that the pipe's reader posts to, runs it
// while waiting, and knows when a page has settled: its load event has fired and no
// request has run for kNetworkIdle.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "browse_session.h"
#include "task_queue.h"

namespace tracewell::browser {

class CBrowseRunner {
 public:
  using Clock = CTaskQueue::Clock;
  static constexpr std::chrono::milliseconds kNetworkIdle{500};

  enum class LoadResult { kSettled, kTimedOut, kBrowserEnded };

  // `onTurn` runs on every turn of the waits (the caller hands records over there);
  // `onFault` hears what went wrong on the pipe or in the browser's events.
  CBrowseRunner(CSchemeBindings& bindings, std::function<void()> onTurn,
                std::function<void(std::string_view)> onFault);
  ~CBrowseRunner();

  // Launches the browser and waits up to `timeout` for its tab; the reason when it
  // cannot start or shows no tab.
  std::optional<std::string> Start(const LaunchSettings& settings, std::chrono::seconds timeout);
  // Loads `url` in the tab and waits until the page has settled, at most `timeout`.
  // A navigation the browser refuses (an error page) settles too; its reason goes to
  // `navigationError` when given.
  LoadResult Load(const std::string& url, std::chrono::seconds timeout,
                  std::string* navigationError = nullptr);
  // Runs the browser's work until `done()` holds or `deadline` passes.
  bool RunUntil(const std::function<bool()>& done, Clock::time_point deadline);
  // Closes the browser (its unfinished requests end as aborted).
  void Close(std::chrono::milliseconds grace);

  CBrowseSession& Session() { return *m_session; }
  bool IsOpen() const { return m_session && m_session->IsOpen(); }

 private:
  void Watch(const devtools::DevToolsMessage& event);
  bool Settled();

  CSchemeBindings& m_bindings;
  std::function<void()> m_onTurn;
  std::function<void(std::string_view)> m_onFault;
  CTaskQueue m_tasks;
  std::shared_ptr<CBrowseSession> m_session;
  bool m_loaded = false;     // the tab's load event since the last navigation
  bool m_navigated = false;  // the last navigation was answered
  Clock::time_point m_lastBusy;
};

}  // namespace tracewell::browser
