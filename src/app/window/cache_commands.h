#pragma once
// The window's caches. The Body tab and Save as HAR read stored bodies from the
// launched browser's disk cache (while it runs) and from the recorder's response
// store. The Tools menu's cookie and cache manager and its two Clear commands work on
// the store in use, the browser's while it runs, else the recorder's, with the
// cookies beside it: the browser's own, read and deleted over DevTools, or with no
// browser those the session's responses set.

#include <QString>
#include <functional>

#include "bodies/cache_files_chain.h"
#include "cache/cookie_entry_store.h"
#include "text/message_box.h"
#include "views/main_window_model.h"
#include "widgets/cache_platform.h"

class QWidget;

namespace tracewell::store {
class CResponseStore;
}

namespace tracewell::app {

class CBrowserHost;

// The stores in use as one: asked afresh at each call, as the browser comes and goes.
class CWindowCacheFiles final : public ICacheFiles {
 public:
  CWindowCacheFiles(CBrowserHost& browser, store::CResponseStore* responseStore)
      : m_browser(browser), m_responseStore(responseStore) {}

  std::optional<std::string> ReadFileBytes(std::u16string_view path, std::size_t maxBytes) override;
  std::optional<std::uint32_t> CopyFileReplacing(std::u16string_view from, std::u16string_view to) override;

 private:
  CCacheFilesChain Chain() const;

  CBrowserHost& m_browser;
  store::CResponseStore* m_responseStore;
};

class CCacheCommands {
 public:
  CCacheCommands(const CMainWindowModel& model, CBrowserHost& browser, store::CResponseStore* responseStore,
                 ICacheFiles& files, IMessageBox& messages, QWidget* parent);

  // Runs "Clear Cookies and Caches...", "Clear All Cookies" and "Clear All Caches";
  // false for every other command.
  bool OnCommand(int commandId);

 private:
  using CookieWork = std::function<void(ICacheEnumerationStore& cookiesAndCache, bool browserRuns)>;
  // Runs `work` over the cookies and the store in use: at once, or once the browser
  // has told its cookies (from the event loop, not inside the reply).
  void WithStores(CookieWork work);
  void RunWork(std::vector<StoredCookie> cookies, bool browserRuns, const CookieWork& work);
  void OpenManager(ICacheEnumerationStore& stores, bool browserRuns);

  const CMainWindowModel& m_model;
  CBrowserHost& m_browser;
  store::CResponseStore* m_responseStore;
  ICacheFiles& m_files;
  IMessageBox& m_messages;
  QWidget* m_parent;
  CQtUrlHostParser m_urls;
  CQtPictureDecoder m_pictures;
  CQtSaveFileDialog m_saveDialog;
};

}  // namespace tracewell::app
