#include "window/cache_commands.h"

#include <QTimer>

#include "cache/cache_store_union.h"
#include "cache/cache_tools.h"
#include "cache/session_cookies.h"
#include "store/response_store.h"
#include "views/main_commands.h"
#include "widgets/cache_manager_dialog.h"
#include "window/browser_host.h"

namespace tracewell::app {
namespace {

const QString kBrowserCacheNote = QStringLiteral(
    "The browser's own cache cannot be changed while the browser runs: Clear Cache leaves its files; "
    "Tools > Clear All Caches empties it whole.");
const QString kSessionCookiesNote = QStringLiteral(
    "No browser of Tracewell's runs: the cookies are those this session's responses set, which no "
    "program here keeps; Clear Cookie only takes them off this list.");

}  // namespace

CCacheFilesChain CWindowCacheFiles::Chain() const {
  CCacheFilesChain chain;
  if (auto* browserCache = m_browser.CacheStore()) chain.Add(*browserCache);
  if (m_responseStore != nullptr) chain.Add(*m_responseStore);
  return chain;
}

std::optional<std::string> CWindowCacheFiles::ReadFileBytes(std::u16string_view path, std::size_t maxBytes) {
  return Chain().ReadFileBytes(path, maxBytes);
}

std::optional<std::uint32_t> CWindowCacheFiles::CopyFileReplacing(std::u16string_view from, std::u16string_view to) {
  return Chain().CopyFileReplacing(from, to);
}

CCacheCommands::CCacheCommands(const CMainWindowModel& model, CBrowserHost& browser,
                               store::CResponseStore* responseStore, ICacheFiles& files, IMessageBox& messages,
                               QWidget* parent)
    : m_model(model),
      m_browser(browser),
      m_responseStore(responseStore),
      m_files(files),
      m_messages(messages),
      m_parent(parent),
      m_saveDialog(parent) {}

bool CCacheCommands::OnCommand(int commandId) {
  switch (commandId) {
    case command::kCookieCacheManager:
      WithStores([this](ICacheEnumerationStore& stores, bool browserRuns) { OpenManager(stores, browserRuns); });
      return true;
    case command::kClearAllCookies:
      WithStores([this](ICacheEnumerationStore& stores, bool) { ClearAllCookies(stores, m_messages); });
      return true;
    case command::kClearAllCaches:
      WithStores([this](ICacheEnumerationStore& stores, bool browserRuns) {
        // The browser's cache is emptied whole by the browser itself.
        if (ClearAllCaches(stores, m_messages) && browserRuns) m_browser.ClearCache();
      });
      return true;
    default:
      return false;
  }
}

void CCacheCommands::WithStores(CookieWork work) {
  const bool asked = m_browser.ReadCookies([this, work](std::vector<StoredCookie> cookies) {
    QTimer::singleShot(0, m_parent, [this, work, cookies = std::move(cookies)]() mutable {
      RunWork(std::move(cookies), m_browser.IsOpen(), work);
    });
  });
  if (!asked) RunWork(SessionCookies(m_model.Session(), m_urls), false, work);
}

void CCacheCommands::RunWork(std::vector<StoredCookie> cookies, bool browserRuns, const CookieWork& work) {
  CCookieEntryStore cookieStore(std::move(cookies), [this, browserRuns](const StoredCookie& cookie) {
    if (browserRuns) m_browser.DeleteCookie(cookie);
  });
  std::vector<ICacheEnumerationStore*> stores{&cookieStore};
  if (auto* browserCache = m_browser.CacheStore()) {
    stores.push_back(browserCache);
  } else if (m_responseStore != nullptr) {
    stores.push_back(m_responseStore);
  }
  CCacheStoreUnion united(std::move(stores));
  work(united, browserRuns);
}

void CCacheCommands::OpenManager(ICacheEnumerationStore& stores, bool browserRuns) {
  CCacheManagerDialog dialog({stores, m_urls, m_messages, m_files, m_saveDialog, m_pictures},
                             browserRuns ? kBrowserCacheNote : kSessionCookiesNote, m_parent);
  dialog.exec();
}

}  // namespace tracewell::app
