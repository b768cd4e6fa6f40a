#pragma once
// The page inspector over a tab of the launched browser: the tab's Page events become
// the browser's navigation events, and when its top-level document has loaded, a
// snapshot of the page is taken (in a script world of Tracewell's own, out of the
// page's reach) before the inspector rebuilds its tree from it.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "devtools/devtools_client.h"
#include "devtools/page_snapshot.h"
#include "inspector/page_load_state.h"

namespace tracewell::devtools {

class CPageInspection {
 public:
  struct Actions {
    std::function<void()> showLoading;  // the inspector shows "Loading..."
    std::function<void()> rebuild;      // the browser holds a new snapshot (or none)
    std::function<void(std::string_view reason)> onFault;
  };
  // `browser` holds the snapshot the inspector reads, and outlives this object.
  CPageInspection(CDevToolsClient& client, CSnapshotBrowser& browser, Actions actions);

  // The tab whose page the inspector shows (its attached session).
  void SetPageSession(std::string sessionId);
  const std::string& PageSession() const { return m_session; }
  // Takes the Page events of the tab's session; true when the event was one of them.
  bool OnEvent(const DevToolsMessage& event);
  // Takes a snapshot now and rebuilds (the window was shown again).
  void Refresh();
  // The tab went away: the inspector shows no page.
  void OnPageClosed();

  const CPageLoadState& LoadState() const { return m_loadState; }

 private:
  void TakeSnapshot();
  void OnSnapshot(std::uint64_t request, std::int64_t context, const DevToolsReply& reply);
  void ShowNoPage();
  void Fault(std::string_view reason);

  CDevToolsClient& m_client;
  Actions m_actions;
  CSnapshotBrowser& m_browser;
  CPageLoadState m_loadState;
  std::string m_session;
  std::string m_topFrame;
  std::uint64_t m_request = 0;  // the snapshot awaited; older replies are dropped
};

}  // namespace tracewell::devtools
