#include "browse_runner.h"

namespace tracewell::browser {

CBrowseRunner::CBrowseRunner(CSchemeBindings& bindings, std::function<void()> onTurn,
                             std::function<void(std::string_view)> onFault)
    : m_bindings(bindings), m_onTurn(std::move(onTurn)), m_onFault(std::move(onFault)) {}

CBrowseRunner::~CBrowseRunner() { Close(std::chrono::milliseconds(3000)); }

std::optional<std::string> CBrowseRunner::Start(const LaunchSettings& settings,
                                                std::chrono::seconds timeout) {
  CBrowseSession::Handlers handlers;
  handlers.onFault = m_onFault;
  handlers.onEvent = [this](const devtools::DevToolsMessage& event) { Watch(event); };
  auto launched = CBrowseSession::Launch(
      settings, m_bindings, [this](std::function<void()> task) { m_tasks.Post(std::move(task)); },
      std::move(handlers));
  if (auto* error = std::get_if<std::string>(&launched)) return std::move(*error);
  m_session = std::get<std::shared_ptr<CBrowseSession>>(std::move(launched));
  RunUntil([&] { return !m_session->PageSession().empty() || !m_session->IsOpen(); },
           Clock::now() + timeout);
  if (m_session->PageSession().empty()) {
    return "the browser showed no tab (its output is in " + settings.logFile.string() + ")";
  }
  return std::nullopt;
}

CBrowseRunner::LoadResult CBrowseRunner::Load(const std::string& url, std::chrono::seconds timeout,
                                              std::string* navigationError) {
  m_loaded = false;
  m_navigated = false;
  m_lastBusy = Clock::now();
  const bool sent = m_session->Navigate(url, [this, navigationError](const devtools::DevToolsReply& reply) {
    m_navigated = true;
    const auto failure = reply.result.find("errorText");
    std::string reason = reply.error ? *reply.error : "";
    if (failure != reply.result.end() && failure->is_string()) reason = failure->get<std::string>();
    if (reason.empty()) return;
    // The tab shows an error page, which has its load event too.
    if (navigationError) *navigationError = reason;
    if (reply.error) m_loaded = true;
  });
  if (!sent) return LoadResult::kBrowserEnded;
  const bool settled = RunUntil([&] { return Settled(); }, Clock::now() + timeout);
  if (!m_session->IsOpen()) return LoadResult::kBrowserEnded;
  return settled ? LoadResult::kSettled : LoadResult::kTimedOut;
}

bool CBrowseRunner::RunUntil(const std::function<bool()>& done, Clock::time_point deadline) {
  return m_tasks.RunUntil(
      [&] {
        if (m_onTurn) m_onTurn();
        return done();
      },
      deadline);
}

void CBrowseRunner::Close(std::chrono::milliseconds grace) {
  if (!m_session) return;
  m_session->Close(grace);
  m_session.reset();
  if (m_onTurn) m_onTurn();
}

void CBrowseRunner::Watch(const devtools::DevToolsMessage& event) {
  if (event.sessionId == m_session->PageSession() && event.method == "Page.loadEventFired") {
    m_loaded = true;
  }
}

bool CBrowseRunner::Settled() {
  const auto now = Clock::now();
  if (!m_session->IsOpen()) return true;
  if (m_session->Network().RequestsInFlight() > 0 || !m_navigated) m_lastBusy = now;
  return m_loaded && now - m_lastBusy >= kNetworkIdle;
}

}  // namespace tracewell::browser
