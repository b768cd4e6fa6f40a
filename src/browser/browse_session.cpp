#include "browse_session.h"

#include <unistd.h>

#include "devtools/devtools_message.h"

namespace tracewell::browser {
namespace {

// How long a browser asked to close may take before it is ended.
constexpr std::chrono::milliseconds kCloseGrace{3000};

// A tab of the user's (or the blank one Tracewell opens), not one of the browser's
// own pages such as its address bar's pop-up.
bool IsUserTab(const devtools::AttachedTarget& target) {
  return target.type == "page" && !target.url.starts_with("chrome://") &&
         !target.url.starts_with("chrome-untrusted://") && !target.url.starts_with("devtools://");
}

}  // namespace

LaunchSettings LaunchSettings::For(const CBrowserProfile& profile, bool headless,
                                   bool loopbackOnly) {
  LaunchSettings settings;
  settings.chromium = {profile.Path(), headless, loopbackOnly, geteuid() == 0};
  settings.logFile = profile.LogFile();
  settings.cacheFolder = profile.CacheFolder();
  return settings;
}

std::variant<std::shared_ptr<CBrowseSession>, std::string> CBrowseSession::Launch(
    const LaunchSettings& settings, CSchemeBindings& bindings, Post post, Handlers handlers) {
  auto started = CBrowserProcess::Start(settings.executable, ChromiumArguments(settings.chromium),
                                        settings.logFile);
  if (auto* error = std::get_if<std::string>(&started)) return std::move(*error);
  std::shared_ptr<CBrowseSession> session(new CBrowseSession(bindings, std::move(handlers), settings.cacheFolder));
  session->Connect(std::move(std::get<std::unique_ptr<CBrowserProcess>>(started)), std::move(post));
  return session;
}

CBrowseSession::CBrowseSession(CSchemeBindings& bindings, Handlers handlers,
                               const std::filesystem::path& cacheFolder)
    : m_handlers(std::move(handlers)),
      m_cache(std::make_unique<CChromiumCacheStore>(cacheFolder,
                                                    [this](std::string_view reason) { Fault(reason); })),
      m_bindings(bindings) {}

void CBrowseSession::Connect(std::unique_ptr<CBrowserProcess> process, Post post) {
  m_process = std::move(process);
  const std::weak_ptr<CBrowseSession> weak = weak_from_this();
  auto onOwnerThread = [weak, post](std::function<void(CBrowseSession&)> task) {
    post([weak, task = std::move(task)] {
      if (const auto self = weak.lock()) task(*self);
    });
  };
  m_transport = std::make_unique<CPipeTransport>(
      m_process->PipeDescriptor(),
      PipeHandlers{
          [onOwnerThread](std::string message) {
            onOwnerThread([message = std::move(message)](CBrowseSession& self) {
              self.m_client->OnMessage(message);
            });
          },
          [onOwnerThread](std::string reason) {
            onOwnerThread([reason = std::move(reason)](CBrowseSession& self) { self.Fault(reason); });
          },
          [onOwnerThread] { onOwnerThread([](CBrowseSession& self) { self.OnClosed(); }); }},
      devtools::kMaxMessageBytes);
  m_client = std::make_unique<devtools::CDevToolsClient>(*m_transport);
  m_attacher = std::make_unique<devtools::CTargetAttacher>(*m_client);
  m_network = std::make_unique<devtools::CDevToolsNetworkLayer>(*m_client, m_bindings, m_cache.get());
  const auto fault = [this](std::string_view reason) { Fault(reason); };
  m_client->SetFaultHandler(fault);
  m_attacher->SetFaultHandler(fault);
  m_network->SetFaultHandler(fault);
  m_network->KeepResponseBodies(devtools::kMostKeptBodyBytes);
  m_attacher->SetDetachHandler([this](std::string_view sessionId) { OnDetached(sessionId); });
  m_attacher->SetReadyHandler([this](std::string_view sessionId) { OnReady(sessionId); });
  m_client->SetEventHandler([this](const devtools::DevToolsMessage& event) { OnEvent(event); });
  m_attacher->Start();
}

CBrowseSession::~CBrowseSession() {
  if (m_open) Close(kCloseGrace);
}

bool CBrowseSession::Navigate(const std::string& url,
                              devtools::CDevToolsClient::ReplyHandler onReply) {
  if (m_page.empty() || !m_open) return false;
  m_client->Send("Page.navigate", {{"url", url}}, m_page, std::move(onReply));
  return true;
}

void CBrowseSession::Close(std::chrono::milliseconds grace) {
  if (m_open) m_client->Send("Browser.close", devtools::Json::object());
  m_process->Stop(grace);
  // What the browser had not ended ends here, as aborted, before the handlers hear it.
  if (m_open) OnClosed();
}

void CBrowseSession::OnEvent(const devtools::DevToolsMessage& event) {
  if (!m_attacher->OnEvent(event)) m_network->OnEvent(event);
  if (m_handlers.onEvent) m_handlers.onEvent(event);
}

void CBrowseSession::OnReady(std::string_view sessionId) {
  if (!m_page.empty()) return;
  const auto target = m_attacher->Sessions().find(sessionId);
  if (target == m_attacher->Sessions().end() || !IsUserTab(target->second)) return;
  m_page = sessionId;
  if (m_handlers.onPageChanged) m_handlers.onPageChanged(m_page);
}

void CBrowseSession::OnDetached(std::string_view sessionId) {
  m_network->OnSessionDetached(sessionId);
  if (sessionId != m_page) return;
  m_page.clear();
  if (m_handlers.onPageChanged) m_handlers.onPageChanged(m_page);
}

void CBrowseSession::OnClosed() {
  if (!m_open) return;
  m_open = false;
  m_network->OnBrowserClosed();
  m_cache->SetBrowserRunning(false);
  m_client->OnClosed();
  if (!m_page.empty()) {
    m_page.clear();
    if (m_handlers.onPageChanged) m_handlers.onPageChanged(m_page);
  }
  if (m_handlers.onClosed) m_handlers.onClosed();
}

void CBrowseSession::Fault(std::string_view reason) {
  if (m_handlers.onFault) m_handlers.onFault(reason);
}

}  // namespace tracewell::browser
