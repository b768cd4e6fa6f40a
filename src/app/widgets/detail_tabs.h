#pragma once
// The detail pane: six tabs that take the selected record apart ("Header",
// "Cookies", "Cache Info", "Query String", "Post Data") and inspect the page
// ("Content"). "Header" is the active tab at start.

#include <QTabWidget>

#include "views/list_copy.h"
#include "views/main_window.h"

namespace tracewell::app {

class CDetailList;

class CDetailTabs final : public QTabWidget {
  Q_OBJECT

 public:
  explicit CDetailTabs(IClipboard& clipboard, QWidget* parent = nullptr);

  // Refills Header, Cookies, Cache Info, Query String and Post Data from the models;
  // the Content tab and the active tab stay as they are.
  void ShowDetails(const CDetailViews& details);

 private:
  CDetailList* m_requestHeaders;
  CDetailList* m_responseHeaders;
  CDetailList* m_requestCookies;
  CDetailList* m_responseCookies;
  CDetailList* m_cacheInfo;
  CDetailList* m_query;
  CDetailList* m_postData;
};

}  // namespace tracewell::app
