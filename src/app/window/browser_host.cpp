#include "window/browser_host.h"

#include <QMetaObject>
#include <QPointer>

#include "devtools/browser_cookies.h"

namespace tracewell::app {
CBrowserHost::CBrowserHost(CSchemeBindings& bindings, BrowserSetup setup)
    : m_bindings(bindings), m_setup(std::move(setup)) {}

CBrowserHost::~CBrowserHost() {
  blockSignals(true);  // the window that listens is going too
  Close();
}

std::optional<std::string> CBrowserHost::Open() {
  if (IsOpen()) {
    m_session->Client().Send("Page.bringToFront", devtools::Json::object(), m_session->PageSession());
    return std::nullopt;
  }
  Close();
  auto profile = browser::CBrowserProfile::Choose(m_setup.profile);
  if (auto* error = std::get_if<std::string>(&profile)) return std::move(*error);
  m_profile.emplace(std::get<browser::CBrowserProfile>(std::move(profile)));

  auto settings = browser::LaunchSettings::For(*m_profile, m_setup.headless, m_setup.loopbackOnly);
  settings.executable = m_setup.executable;
  QPointer<CBrowserHost> self(this);
  auto post = [self](std::function<void()> task) {
    QMetaObject::invokeMethod(
        self.data(), [self, task = std::move(task)] { if (self) task(); }, Qt::QueuedConnection);
  };
  browser::CBrowseSession::Handlers handlers;
  handlers.onClosed = [this] { OnClosed(); };
  handlers.onFault = [this](std::string_view reason) { Fault(reason); };
  handlers.onEvent = [this](const devtools::DevToolsMessage& event) {
    if (m_inspection) m_inspection->OnEvent(event);
  };
  handlers.onPageChanged = [this](const std::string& sessionId) { OnPageChanged(sessionId); };
  auto launched = browser::CBrowseSession::Launch(settings, m_bindings, std::move(post), std::move(handlers));
  if (auto* error = std::get_if<std::string>(&launched)) {
    m_profile.reset();
    return std::move(*error);
  }
  m_session = std::get<std::shared_ptr<browser::CBrowseSession>>(std::move(launched));
  m_inspection = std::make_unique<devtools::CPageInspection>(
      m_session->Client(), m_page,
      devtools::CPageInspection::Actions{
          [this] { emit pageLoading(); }, [this] { emit pageChanged(); },
          [this](std::string_view reason) { Fault(reason); }});
  emit openChanged();
  return std::nullopt;
}

void CBrowserHost::Close() {
  m_inspection.reset();
  m_session.reset();
  m_profile.reset();
}

bool CBrowserHost::Navigate(const QString& url) {
  return IsOpen() && m_session->Navigate(url.toStdString());
}

void CBrowserHost::RefreshPage() {
  if (m_inspection) m_inspection->Refresh();
}

bool CBrowserHost::ReadCookies(CookiesHandler done) {
  if (!IsOpen()) return false;
  m_session->Client().Send(devtools::kGetCookies, devtools::Json::object(), {},
                           [this, done = std::move(done)](const devtools::DevToolsReply& reply) {
                             if (reply.error != nullptr) {
                               Fault("the browser's cookies cannot be read: " + *reply.error);
                             } else {
                               done(devtools::ReadBrowserCookies(reply.result));
                             }
                           });
  return true;
}

void CBrowserHost::DeleteCookie(const StoredCookie& cookie) {
  // The Network domain lives in the page's session, not the browser's.
  if (IsOpen()) {
    m_session->Client().Send(devtools::kDeleteCookies, devtools::DeleteCookieParams(cookie), m_session->PageSession());
  }
}

void CBrowserHost::ClearCache() {
  if (IsOpen()) m_session->Client().Send("Network.clearBrowserCache", devtools::Json::object(), m_session->PageSession());
}

void CBrowserHost::OnPageChanged(const std::string& sessionId) {
  if (!m_inspection) return;
  if (sessionId.empty()) m_inspection->OnPageClosed();
  else m_inspection->SetPageSession(sessionId);
}

void CBrowserHost::OnClosed() { emit openChanged(); }

void CBrowserHost::Fault(std::string_view reason) {
  emit fault(QString::fromUtf8(reason.data(), static_cast<qsizetype>(reason.size())));
}

}  // namespace tracewell::app
