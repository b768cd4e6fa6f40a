#pragma once
// The Chromium that the window launches: recorded from inside through the same
// scheme bindings as the proxy (so Start and Stop switch both), its tab's page shown
// in the "Content" tab, and closed with the window. Its pipe's messages reach the GUI
// thread through the event loop.

#include <QObject>
#include <QString>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "browse_session.h"
#include "browser_profile.h"
#include "cache/cookie_entry_store.h"
#include "capture/scheme_bindings.h"
#include "devtools/page_inspection.h"
#include "devtools/page_snapshot.h"

namespace tracewell::app {

// How the window starts the browser: tests run it headless and loopback-only.
struct BrowserSetup {
  std::string executable = "chromium";
  bool headless = false;
  bool loopbackOnly = false;
  // The profile folder to keep; none: a fresh one in the user's data folder.
  std::optional<std::filesystem::path> profile;
};

class CBrowserHost final : public QObject {
  Q_OBJECT

 public:
  CBrowserHost(CSchemeBindings& bindings, BrowserSetup setup);
  // Closes the browser it started.
  ~CBrowserHost() override;

  // Starts the browser, or brings its tab to the front when it runs; the reason
  // when it cannot start.
  std::optional<std::string> Open();
  bool IsOpen() const { return m_session && m_session->IsOpen(); }
  // Closes the browser, if one runs; its unfinished requests end as aborted.
  void Close();
  // Loads `url` in the browser's tab; false when no browser runs.
  bool Navigate(const QString& url);
  // The running browser's disk cache; null when no browser was started or it was closed.
  browser::CChromiumCacheStore* CacheStore() { return m_session ? &m_session->CacheStore() : nullptr; }
  // The page the inspector reads.
  const devtools::CSnapshotBrowser& Page() const { return m_page; }
  // A new snapshot of the page for the inspector (the window was shown again).
  void RefreshPage();

  // The browser's cookies, handed to `done` on this thread once the browser answers
  // (nothing when it fails: the fault says why); false when no browser runs.
  using CookiesHandler = std::function<void(std::vector<StoredCookie>)>;
  bool ReadCookies(CookiesHandler done);
  // Deletes one cookie, or every cached response, in the running browser.
  void DeleteCookie(const StoredCookie& cookie);
  void ClearCache();

 signals:
  void pageLoading();  // a navigation began: the inspector shows "Loading..."
  void pageChanged();  // the page the inspector reads is new (or gone)
  void openChanged();  // the browser started or ended
  void fault(QString reason);

 private:
  void OnPageChanged(const std::string& sessionId);
  void OnClosed();
  void Fault(std::string_view reason);

  CSchemeBindings& m_bindings;
  BrowserSetup m_setup;
  devtools::CSnapshotBrowser m_page;
  std::optional<browser::CBrowserProfile> m_profile;
  std::shared_ptr<browser::CBrowseSession> m_session;
  std::unique_ptr<devtools::CPageInspection> m_inspection;
};

}  // namespace tracewell::app
