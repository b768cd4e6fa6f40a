#include "devtools/page_inspection.h"

namespace tracewell::devtools {
namespace {

DocumentId DocumentOf(const std::string& frameId) { return std::hash<std::string>{}(frameId); }

}  // namespace

CPageInspection::CPageInspection(CDevToolsClient& client, CSnapshotBrowser& browser,
                                 Actions actions)
    : m_client(client),
      m_actions(std::move(actions)),
      m_browser(browser),
      m_loadState({m_actions.showLoading, [this] { TakeSnapshot(); }}) {}

void CPageInspection::SetPageSession(std::string sessionId) { m_session = std::move(sessionId); }

bool CPageInspection::OnEvent(const DevToolsMessage& event) {
  if (m_session.empty() || event.sessionId != m_session || !event.method.starts_with("Page.")) {
    return false;
  }
  const Json& params = event.params;
  const std::string_view method = std::string_view(event.method).substr(5);
  if (method == "frameStartedNavigating") {
    m_loadState.OnBeforeNavigate();
  } else if (method == "frameNavigated") {
    const auto frame = params.find("frame");
    if (frame == params.end() || !frame->is_object()) return true;
    const std::string* id = StringMember(*frame, "id");
    if (!id) return true;
    if (!frame->contains("parentId")) m_topFrame = *id;
    m_loadState.OnNavigateComplete(DocumentOf(*id));
  } else if (method == "frameStartedLoading") {
    m_loadState.OnDownloadBegin();
  } else if (method == "frameStoppedLoading") {
    const std::string* id = StringMember(params, "frameId");
    if (!id) return true;
    m_loadState.OnDownloadComplete();
    m_loadState.OnDocumentComplete(DocumentOf(*id));
  } else {
    return false;
  }
  return true;
}

void CPageInspection::Refresh() { TakeSnapshot(); }

void CPageInspection::OnPageClosed() {
  m_session.clear();
  m_topFrame.clear();
  ++m_request;
  ShowNoPage();
}

void CPageInspection::TakeSnapshot() {
  const std::uint64_t request = ++m_request;
  if (m_session.empty() || m_topFrame.empty()) {
    ShowNoPage();
    return;
  }
  m_client.Send("Page.createIsolatedWorld",
                {{"frameId", m_topFrame}, {"worldName", "tracewell-inspector"}}, m_session,
                [this, request](const DevToolsReply& world) {
                  if (request != m_request) return;
                  const auto context = world.result.find("executionContextId");
                  if (world.error || context == world.result.end() || !context->is_number_integer()) {
                    Fault(world.error ? *world.error : "no script world for the page");
                    ShowNoPage();
                    return;
                  }
                  const std::int64_t id = context->get<std::int64_t>();
                  m_client.Send("Runtime.evaluate",
                                {{"expression", kPageSnapshotScript},
                                 {"contextId", id},
                                 {"returnByValue", true}},
                                m_session, [this, request, id](const DevToolsReply& reply) {
                                  OnSnapshot(request, id, reply);
                                });
                });
}

void CPageInspection::OnSnapshot(std::uint64_t request, std::int64_t context,
                                 const DevToolsReply& reply) {
  if (request != m_request) return;
  const Json* value = nullptr;
  if (!reply.error) {
    const auto result = reply.result.find("result");
    if (result != reply.result.end() && result->is_object()) {
      const auto found = result->find("value");
      if (found != result->end() && found->is_string()) value = &*found;
    }
  }
  if (!value) {
    Fault(reply.error ? *reply.error : "the page snapshot script gave no text");
    ShowNoPage();
    return;
  }
  const std::string session = m_session;
  auto run = [this, session, context](std::string script) {
    if (session != m_session) return;
    m_client.Send("Runtime.evaluate", {{"expression", std::move(script)}, {"contextId", context}},
                  session);
  };
  auto read = ReadPageSnapshot(value->get_ref<const std::string&>(), std::move(run));
  if (auto* reason = std::get_if<std::string>(&read)) {
    Fault(*reason);
    ShowNoPage();
    return;
  }
  m_browser.SetPage(std::move(std::get<PageSnapshot>(read)));
  if (m_actions.rebuild) m_actions.rebuild();
}

void CPageInspection::ShowNoPage() {
  m_browser.ClearPage();
  if (m_actions.rebuild) m_actions.rebuild();
}

void CPageInspection::Fault(std::string_view reason) {
  if (m_actions.onFault) m_actions.onFault(reason);
}

}  // namespace tracewell::devtools
