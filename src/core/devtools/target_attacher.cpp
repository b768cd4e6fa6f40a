#include "devtools/target_attacher.h"

#include <algorithm>
#include <array>
#include <vector>

namespace tracewell::devtools {
namespace {

using json = Json;

// Targets that make requests worth recording.
constexpr std::array<std::string_view, 5> kRecordedTypes = {"page", "iframe", "worker",
                                                            "shared_worker", "service_worker"};
// Targets that have a Page domain.
constexpr std::array<std::string_view, 2> kPageTypes = {"page", "iframe"};

bool IsOneOf(std::string_view type, const auto& types) {
  return std::ranges::find(types, type) != types.end();
}

}  // namespace

void CTargetAttacher::Start() { AutoAttach({}); }

void CTargetAttacher::AutoAttach(std::string_view sessionId, CDevToolsClient::ReplyHandler onReply) {
  m_client.Send("Target.setAutoAttach",
                {{"autoAttach", true}, {"waitForDebuggerOnStart", true}, {"flatten", true}},
                sessionId, std::move(onReply));
}

bool CTargetAttacher::OnEvent(const DevToolsMessage& event) {
  if (event.method == "Target.attachedToTarget") {
    OnAttached(event);
  } else if (event.method == "Target.detachedFromTarget") {
    OnDetached(event);
  } else if (event.method == "Target.targetCrashed") {
    OnCrashed(event);
  } else {
    return false;
  }
  return true;
}

void CTargetAttacher::OnAttached(const DevToolsMessage& event) {
  const std::string* sessionId = StringMember(event.params, "sessionId");
  const auto info = event.params.find("targetInfo");
  if (sessionId == nullptr || sessionId->empty() || info == event.params.end() || !info->is_object()) {
    Fault("Target.attachedToTarget without a session id and target information");
    return;
  }
  const std::string* type = StringMember(*info, "type");
  const std::string* targetId = StringMember(*info, "targetId");
  if (type == nullptr || targetId == nullptr) {
    Fault("Target.attachedToTarget: targetInfo without type and targetId");
    return;
  }
  const std::string* url = StringMember(*info, "url");
  m_sessions[*sessionId] = {*type, *targetId, url ? *url : std::string(), event.sessionId};
  // Every setup command counts down; the last answer makes the target ready.
  auto left = std::make_shared<int>(0);
  auto answered = [this, left, id = *sessionId](const DevToolsReply&) {
    if (--*left == 0 && m_onReady && m_sessions.contains(id)) m_onReady(id);
  };
  const auto send = [&](std::string_view method) {
    ++*left;
    m_client.Send(method, json::object(), *sessionId, answered);
  };
  if (IsOneOf(*type, kRecordedTypes)) {
    send("Network.enable");
    if (IsOneOf(*type, kPageTypes)) send("Page.enable");
    ++*left;
    AutoAttach(*sessionId, answered);
  }
  send("Runtime.runIfWaitingForDebugger");
}

void CTargetAttacher::OnDetached(const DevToolsMessage& event) {
  const std::string* sessionId = StringMember(event.params, "sessionId");
  if (sessionId == nullptr) {
    Fault("Target.detachedFromTarget without a session id");
    return;
  }
  Forget(*sessionId);
}

// A crashed target's requests will never end; its session may stay until the
// target is closed, but nothing more comes through it.
void CTargetAttacher::OnCrashed(const DevToolsMessage& event) {
  const std::string* targetId = StringMember(event.params, "targetId");
  if (targetId == nullptr) {
    Fault("Target.targetCrashed without a target id");
    return;
  }
  std::vector<std::string> crashed;
  for (const auto& [sessionId, target] : m_sessions) {
    if (target.targetId == *targetId) crashed.push_back(sessionId);
  }
  for (const std::string& sessionId : crashed) Forget(sessionId);
}

void CTargetAttacher::Forget(const std::string& sessionId) {
  // Worked through a list rather than by recursion: a chain of nested sessions can
  // be as long as the browser makes it.
  std::vector<std::string> gone{sessionId};
  for (std::size_t i = 0; i < gone.size(); ++i) {
    if (m_sessions.erase(gone[i]) == 0) continue;
    for (const auto& [childId, target] : m_sessions) {
      if (target.parentSessionId == gone[i]) gone.push_back(childId);
    }
    if (m_onDetached) m_onDetached(gone[i]);
  }
}

void CTargetAttacher::Fault(std::string_view reason) {
  if (m_onFault) m_onFault(reason);
}

}  // namespace tracewell::devtools
