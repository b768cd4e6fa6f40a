#pragma once
// Attaches to every target whose requests the capture needs. Start asks the browser
// to attach automatically (flat sessions, each new target paused until it is set
// up); for a page, iframe or worker the attacher enables Network (and Page for a
// page or iframe), asks the same of that target for its own children (nested
// iframes, dedicated workers), then lets it run. Any other target (the browser's own
// user interface, for one) is only let run. Browser-level auto-attach reaches pages
// and service and shared workers; Target.setDiscoverTargets is not needed for it (it
// only announces targets without attaching). The attacher knows the attached
// sessions and tells its listener when one goes away (detached, or its target
// crashed), with the sessions under it.

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "devtools/devtools_client.h"

namespace tracewell::devtools {

struct AttachedTarget {
  std::string type;  // "page", "iframe", "worker", ...
  std::string targetId;
  std::string url;
  std::string parentSessionId;  // empty: attached through the browser
};

class CTargetAttacher {
 public:
  using DetachHandler = std::function<void(std::string_view sessionId)>;
  using FaultHandler = std::function<void(std::string_view reason)>;
  using ReadyHandler = std::function<void(std::string_view sessionId)>;

  explicit CTargetAttacher(CDevToolsClient& client) : m_client(client) {}

  void SetDetachHandler(DetachHandler handler) { m_onDetached = std::move(handler); }
  void SetFaultHandler(FaultHandler handler) { m_onFault = std::move(handler); }
  // Told when the browser has answered every command that set a target up: only
  // then are all of its requests reported (a page navigated earlier may start its
  // first requests before its network reports are on).
  void SetReadyHandler(ReadyHandler handler) { m_onReady = std::move(handler); }

  // Asks the browser session to attach to its targets.
  void Start();
  // Handles the Target events (attached, detached, crashed); true when the event was
  // one of them, false for every other event.
  bool OnEvent(const DevToolsMessage& event);

  // The attached sessions by session id.
  const std::map<std::string, AttachedTarget, std::less<>>& Sessions() const { return m_sessions; }

 private:
  void OnAttached(const DevToolsMessage& event);
  void OnDetached(const DevToolsMessage& event);
  void OnCrashed(const DevToolsMessage& event);
  void AutoAttach(std::string_view sessionId, CDevToolsClient::ReplyHandler onReply = {});
  // Forgets `sessionId` and the sessions under it, telling the listener of each.
  void Forget(const std::string& sessionId);
  void Fault(std::string_view reason);

  CDevToolsClient& m_client;
  DetachHandler m_onDetached;
  FaultHandler m_onFault;
  ReadyHandler m_onReady;
  std::map<std::string, AttachedTarget, std::less<>> m_sessions;
};

}  // namespace tracewell::devtools
