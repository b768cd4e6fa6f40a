#pragma once
// The detail pane: six tabs that take the selected record apart ("Header",
// "Cookies", "Cache Info", "Query String", "Post Data") and inspect the page
// ("Content"). "Header" is the active tab at start.

#include <QTabWidget>

#include "inspector/inspector_model.h"
#include "views/list_copy.h"
#include "views/main_window_model.h"

namespace tracewell::app {

class CDetailList;
class CInspectorView;

class CDetailTabs final : public QTabWidget {
  Q_OBJECT

 public:
  CDetailTabs(IClipboard& clipboard, CInspectorModel& inspector, QWidget* parent = nullptr);

  // Refills Header, Cookies, Cache Info, Query String and Post Data from the models;
  // the Content tab and the active tab stay as they are.
  void ShowDetails(const CDetailViews& details);

  CInspectorView& Inspector() { return *m_inspector; }

 private:
  CDetailList* m_requestHeaders;
  CDetailList* m_responseHeaders;
  CDetailList* m_requestCookies;
  CDetailList* m_responseCookies;
  CDetailList* m_cacheInfo;
  CDetailList* m_query;
  CDetailList* m_postData;
  CInspectorView* m_inspector;
};

}  // namespace tracewell::app
