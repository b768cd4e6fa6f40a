#include "detail_tabs_view.h"

#include <commctrl.h>

#include <string>

#include "child_window_class.h"
#include "list_styles.h"
#include "module.h"

namespace tracewell::win {
namespace {

constexpr wchar_t kClassName[] = L"TracewellDetailPane";
constexpr DWORD kPaneStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

enum DetailTab : int { kHeaderTab, kCookiesTab, kCacheInfoTab, kQueryTab, kPostDataTab, kContentTab, kBodyTab };

int Width(const RECT& rect) { return rect.right - rect.left; }

}  // namespace

CDetailTabsView::CDetailTabsView(IClipboard& clipboard, CInspectorModel& inspector, ICacheFiles& files)
    : m_requestHeaders(kRequestHeaderList, kGridListStyles, clipboard),
      m_responseHeaders(kResponseHeaderList, kGridListStyles, clipboard),
      m_requestCookies(kRequestCookieList, kFixedListStyles, clipboard),
      m_responseCookies(kResponseCookieList, kFixedListStyles, clipboard),
      m_cacheInfo(kCacheInfoList, kFixedListStyles, clipboard),
      m_query(kQueryList, kParameterListStyles, clipboard),
      m_postData(kPostDataList, kParameterListStyles, clipboard),
      m_content(inspector, clipboard),
      m_body(files) {}

CDetailTabsView::~CDetailTabsView() {
  if (m_pane != nullptr && IsWindow(m_pane)) SetWindowLongPtrW(m_pane, GWLP_USERDATA, 0);
}

std::array<CDetailListView*, CDetailTabsView::kListCount> CDetailTabsView::Lists() {
  return {&m_requestHeaders, &m_responseHeaders, &m_requestCookies, &m_responseCookies,
          &m_cacheInfo,      &m_query,           &m_postData};
}

bool CDetailTabsView::Create(HWND parent) {
  const HINSTANCE instance = CBandkitModule::Get().Instance();
  if (!RegisterChildWindowClass(kClassName)) return false;
  m_pane = CreateWindowExW(0, kClassName, L"", kPaneStyle, 0, 0, 0, 0, parent, nullptr, instance, nullptr);
  if (m_pane == nullptr) return false;
  SetWindowLongPtrW(m_pane, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(m_pane, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ViewWindowProc<CDetailTabsView>));
  if (!CreateTabs()) return false;
  for (CDetailListView* list : Lists()) {
    if (!list->Create(m_pane)) return false;
  }
  if (!m_content.Create(m_pane) || !m_body.Create(m_pane)) return false;
  Layout();
  return true;
}

bool CDetailTabsView::CreateTabs() {
  m_tabs = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 0, 0,
                           m_pane, nullptr, CBandkitModule::Get().Instance(), nullptr);
  if (m_tabs == nullptr) return false;
  SendMessageW(m_tabs, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  int index = 0;
  for (const std::u16string_view title : kDetailTabTitles) {
    std::wstring text(title.begin(), title.end());
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    SendMessageW(m_tabs, TCM_INSERTITEMW, static_cast<WPARAM>(index++), reinterpret_cast<LPARAM>(&item));
  }
  SendMessageW(m_tabs, TCM_SETCURSEL, kHeaderTab, 0);
  return true;
}

void CDetailTabsView::ShowDetails(const CDetailViews& details) {
  m_requestHeaders.ShowRows(details.header.RequestRows());
  m_responseHeaders.ShowRows(details.header.ResponseRows());
  m_requestCookies.ShowRows(details.cookies.RequestRows());
  m_responseCookies.ShowRows(details.cookies.ResponseRows());
  m_cacheInfo.ShowRows(details.cacheInfo.Rows());
  m_query.ShowRows(details.query.Rows());
  m_postData.ShowRows(details.postData.Rows());
  m_body.ShowBodies(details.bodies);
}

// The header lists take their widths from the left list's, the cookies' divider and
// the post-data columns from the page's width.
void CDetailTabsView::Layout() {
  if (m_tabs == nullptr) return;
  RECT client{};
  GetClientRect(m_pane, &client);
  MoveWindow(m_tabs, 0, 0, client.right, client.bottom, TRUE);
  RECT page = client;
  SendMessageW(m_tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
  for (CDetailListView* list : Lists()) ShowWindow(list->Handle(), SW_HIDE);
  const int width = Width(page);
  const auto tab = static_cast<int>(SendMessageW(m_tabs, TCM_GETCURSEL, 0, 0));
  // Hidden only when another tab is chosen: hiding it takes the outline off the page.
  if (tab != kContentTab) ShowWindow(m_content.Handle(), SW_HIDE);
  if (tab != kBodyTab) ShowWindow(m_body.Handle(), SW_HIDE);
  switch (tab) {
    case kHeaderTab: {
      PlaceSideBySide(m_requestHeaders, m_responseHeaders, page, width / 2);
      const HeaderColumnWidths widths = HeaderColumnWidthsFor(width / 2);
      m_requestHeaders.SetColumnWidths({widths.name, widths.requestValue});
      m_responseHeaders.SetColumnWidths({widths.name, widths.responseValue});
      break;
    }
    case kCookiesTab:
      PlaceSideBySide(m_requestCookies, m_responseCookies, page, CookieDividerFor(width));
      break;
    case kCacheInfoTab:
      Place(m_cacheInfo.Handle(), page);
      break;
    case kQueryTab:
      Place(m_query.Handle(), page);
      break;
    case kPostDataTab: {
      Place(m_postData.Handle(), page);
      const PostDataColumnWidths widths = PostDataColumnWidthsFor(width);
      m_postData.SetColumnWidths({widths.name, widths.value});
      break;
    }
    case kContentTab:
      Place(m_content.Handle(), page);
      break;
    case kBodyTab:
      Place(m_body.Handle(), page);
      m_body.OnShown();
      break;
    default:
      break;
  }
}

void CDetailTabsView::PlaceSideBySide(CDetailListView& left, CDetailListView& right, const RECT& page,
                                      int leftWidth) {
  const int height = page.bottom - page.top;
  MoveWindow(left.Handle(), page.left, page.top, leftWidth, height, TRUE);
  MoveWindow(right.Handle(), page.left + leftWidth, page.top, std::max(0, Width(page) - leftWidth), height, TRUE);
  for (const HWND list : {left.Handle(), right.Handle()}) {
    SetWindowPos(list, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  }
}

void CDetailTabsView::Place(HWND window, const RECT& page) {
  MoveWindow(window, page.left, page.top, Width(page), page.bottom - page.top, TRUE);
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
}

bool CDetailTabsView::OnNotify(const NMHDR& header) {
  if (header.hwndFrom == m_tabs && header.code == static_cast<UINT>(TCN_SELCHANGE)) {
    Layout();
    return true;
  }
  for (CDetailListView* list : Lists()) {
    if (list->Commands().OnNotify(header)) return true;
  }
  return false;
}

LRESULT CDetailTabsView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND pane = m_pane;
  switch (message) {
    case WM_SIZE:
      Layout();
      return 0;
    case WM_NOTIFY:
      if (OnNotify(*reinterpret_cast<const NMHDR*>(lParam))) return 0;
      break;
    case WM_NCDESTROY:
      SetWindowLongPtrW(pane, GWLP_USERDATA, 0);
      m_pane = nullptr;
      m_tabs = nullptr;
      break;
    default:
      break;
  }
  return DefWindowProcW(pane, message, wParam, lParam);
}

}  // namespace tracewell::win
