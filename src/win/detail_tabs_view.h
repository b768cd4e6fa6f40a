#pragma once
// The detail pane under the grid: a tab strip with the seven tabs and, over its page
// area, the lists of the active tab ("Header" and "Cookies" two side by side, "Cache
// Info", "Query String" and "Post Data" one each), the page inspector ("Content") or
// the bodies ("Body"). The lists and the bodies are the record the grid last
// activated.

#include <windows.h>

#include <array>

#include "body_tab_view.h"
#include "content_view.h"
#include "detail_list_view.h"
#include "views/main_window_model.h"

namespace tracewell::win {

class CDetailTabsView {
 public:
  // `files` reads the bodies that the cache keeps.
  CDetailTabsView(IClipboard& clipboard, CInspectorModel& inspector, ICacheFiles& files);
  ~CDetailTabsView();
  CDetailTabsView(const CDetailTabsView&) = delete;
  CDetailTabsView& operator=(const CDetailTabsView&) = delete;

  // Creates the pane in `parent`, "Header" active; false when the system refuses.
  bool Create(HWND parent);
  HWND Handle() const { return m_pane; }

  // Refills every list and the bodies from the models; the active tab stays.
  void ShowDetails(const CDetailViews& details);
  // The inspector model's tree and pane again, in the "Content" tab.
  void ShowInspector() { m_content.Refresh(); }

 private:
  static constexpr std::size_t kListCount = 7;

  template <typename View>
  friend LRESULT CALLBACK ViewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool CreateTabs();
  bool OnNotify(const NMHDR& header);
  // Places the active tab's lists over the page area and hides the others.
  void Layout();
  void PlaceSideBySide(CDetailListView& left, CDetailListView& right, const RECT& page, int leftWidth);
  // Over the whole page area, above the tab strip, shown.
  static void Place(HWND window, const RECT& page);
  std::array<CDetailListView*, kListCount> Lists();

  CDetailListView m_requestHeaders;
  CDetailListView m_responseHeaders;
  CDetailListView m_requestCookies;
  CDetailListView m_responseCookies;
  CDetailListView m_cacheInfo;
  CDetailListView m_query;
  CDetailListView m_postData;
  CContentView m_content;
  CBodyTabView m_body;
  HWND m_pane = nullptr;
  HWND m_tabs = nullptr;
};

}  // namespace tracewell::win
