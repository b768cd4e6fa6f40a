#pragma once
// The detail pane: seven tabs that take the selected record apart ("Header",
// "Cookies", "Cache Info", "Query String", "Post Data", and "Body" after the
// others) and inspect the page ("Content"). "Header" is the active tab at start.

#include <QTabWidget>

#include "bodies/cache_files_chain.h"
#include "inspector/inspector_model.h"
#include "views/list_copy.h"
#include "views/main_window_model.h"

namespace tracewell::app {

class CBodyTab;
class CDetailList;
class CInspectorView;

class CDetailTabs final : public QTabWidget {
  Q_OBJECT

 public:
  CDetailTabs(IClipboard& clipboard, CInspectorModel& inspector, QWidget* parent = nullptr);

  // Refills Header, Cookies, Cache Info, Query String, Post Data and Body from the
  // models; the Content tab and the active tab stay as they are.
  void ShowDetails(const CDetailViews& details);

  // The stores whose bodies the Body tab reads (none until set); `files` must
  // outlive the pane.
  void SetCacheFiles(ICacheFiles& files);

  CInspectorView& Inspector() { return *m_inspector; }
  CBodyTab& Body() { return *m_body; }

 private:
  CDetailList* m_requestHeaders;
  CDetailList* m_responseHeaders;
  CDetailList* m_requestCookies;
  CDetailList* m_responseCookies;
  CDetailList* m_cacheInfo;
  CDetailList* m_query;
  CDetailList* m_postData;
  CInspectorView* m_inspector;
  CCacheFilesChain m_noStores;
  CBodyTab* m_body;
};

}  // namespace tracewell::app
