#pragma once
// The detail pane under the grid: a tab strip with the seven tabs and, over its page
// area, the lists of the active tab ("Header" and "Cookies" two side by side, "Cache
// Info", "Query String" and "Post Data" one each). The lists show the rows of the
// record the grid last activated; "Content" and "Body" have no list.

#include <windows.h>

#include <array>

#include "detail_list_view.h"
#include "views/main_window_model.h"

namespace tracewell::win {

class CDetailTabsView {
 public:
  explicit CDetailTabsView(IClipboard& clipboard);
  ~CDetailTabsView();
  CDetailTabsView(const CDetailTabsView&) = delete;
  CDetailTabsView& operator=(const CDetailTabsView&) = delete;

  // Creates the pane in `parent`, "Header" active; false when the system refuses.
  bool Create(HWND parent);
  HWND Handle() const { return m_pane; }

  // Refills every list from the models; the active tab stays.
  void ShowDetails(const CDetailViews& details);

 private:
  static constexpr std::size_t kListCount = 7;

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool CreateTabs();
  bool OnNotify(const NMHDR& header);
  // Places the active tab's lists over the page area and hides the others.
  void Layout();
  void PlaceSideBySide(CDetailListView& left, CDetailListView& right, const RECT& page, int leftWidth);
  void Place(CDetailListView& list, const RECT& page);
  std::array<CDetailListView*, kListCount> Lists();

  CDetailListView m_requestHeaders;
  CDetailListView m_responseHeaders;
  CDetailListView m_requestCookies;
  CDetailListView m_responseCookies;
  CDetailListView m_cacheInfo;
  CDetailListView m_query;
  CDetailListView m_postData;
  HWND m_pane = nullptr;
  HWND m_tabs = nullptr;
};

}  // namespace tracewell::win
