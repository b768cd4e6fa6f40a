#include "main_window.h"

#include <commctrl.h>

#include <algorithm>

#include "child_window_class.h"
#include "filter_dialog.h"
#include "find_dialog.h"
#include "help_topics.h"
#include "module.h"

namespace tracewell::win {
namespace {

constexpr wchar_t kClassName[] = L"TracewellMainWindow";
constexpr DWORD kStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr DWORD kExtendedStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;  // 0x40100
// Posted by the capture queue when messages wait in it.
constexpr UINT kCaptureWake = WM_APP + 1;

}  // namespace

CMainWindowImpl::CMainWindowImpl(IMessageMap& firstMap, const IClock& clock, const IWebBrowser& browser)
    : m_firstMap(firstMap),
      m_model(m_collator, clock),
      m_inspector(browser, m_colorizer, [this] { return m_window != nullptr && IsWindowVisible(m_window); }),
      m_fileCommands(m_model, clock) {
  m_model.Grid().SetListener(&m_gridView);
}

CMainWindowImpl::~CMainWindowImpl() {
  Destroy();
  m_model.Grid().SetListener(nullptr);
}

bool CMainWindowImpl::Create(HWND parent, const RECT& area) {
  const HINSTANCE instance = CBandkitModule::Get().Instance();
  if (!RegisterChildWindowClass(kClassName)) return false;
  const HWND window = CreateWindowExW(kExtendedStyle, kClassName, L"", kStyle, area.left, area.top,
                                      area.right - area.left, area.bottom - area.top, parent,
                                      nullptr, instance, nullptr);
  if (window == nullptr) return false;
  m_window = window;
  m_clipboard.SetOwner(window);
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ViewWindowProc<CMainWindowImpl>));
  if (!CreateChildren()) {
    Destroy();
    return false;
  }
  m_queue = std::make_shared<CCaptureQueue>([window] { PostMessageW(window, kCaptureWake, 0, 0); });
  Layout();
  return true;
}

bool CMainWindowImpl::CreateChildren() {
  return m_toolbar.Create(m_window) && m_gridView.Create(m_window) && m_detailTabs.Create(m_window);
}

// Messages still waiting are dropped with the window: their records have no grid
// left to show them.
void CMainWindowImpl::Destroy() {
  if (m_queue) m_queue->Close();
  if (m_window != nullptr && IsWindow(m_window)) DestroyWindow(m_window);
  m_window = nullptr;
}

void CMainWindowImpl::ShowInspectorLoading() {
  m_inspector.ShowInspectorLoading();
  ShowInspector();
}

void CMainWindowImpl::RebuildInspector() {
  m_inspector.RebuildInspectorTree();
  ShowInspector();
}

void CMainWindowImpl::ClearInspector() {
  m_inspector.ClearInspector();
  ShowInspector();
}

// Events still arrive after the window is gone (the browser is let go only with the
// site): the model follows them, there is no tree to show them in.
void CMainWindowImpl::ShowInspector() {
  if (Exists()) m_detailTabs.ShowInspector();
}

// The rebar on top; below it the split of the view mode: the grid in the top pane,
// the detail tabs in the bottom pane.
void CMainWindowImpl::Layout() {
  if (m_toolbar.Rebar() == nullptr) return;
  RECT client{};
  GetClientRect(m_window, &client);
  const int top = m_toolbar.Layout();
  const ViewMode mode = m_model.Mode();
  m_panes = m_splitter.Split({0, top, client.right, std::max<LONG>(top, client.bottom)}, mode);
  PlacePane(m_gridView.Handle(), m_panes.top, mode != ViewMode::kViewOnly);
  PlacePane(m_detailTabs.Handle(), m_panes.bottom, mode != ViewMode::kGridOnly);
}

void CMainWindowImpl::PlacePane(HWND pane, const RECT& place, bool shown) {
  ShowWindow(pane, shown ? SW_SHOW : SW_HIDE);
  if (shown) MoveWindow(pane, place.left, place.top, place.right - place.left, place.bottom - place.top, TRUE);
}

// The window's own commands may rebuild the grid or empty the detail tabs' models
// (Clear, Load, the filter): the tabs follow.
bool CMainWindowImpl::OnCommand(int id) {
  switch (id) {
    case command::kClear:
    case command::kTurnOnFilter:
    case command::kTurnOffFilter:
      m_model.OnCommand(id);
      break;
    case command::kMaximizeGrid:
    case command::kMaximizeView:
    case command::kRestoreWindows:
      m_model.OnCommand(id);
      Layout();
      // The grid alone hides the inspector with the detail pane: the outline comes off.
      if (m_model.Mode() == ViewMode::kGridOnly) m_inspector.RestoreHighlight();
      return true;
    case command::kFilter:
      m_model.OnFilterDialogClosed(RunFilterDialog(GetActiveWindow(), m_model.Filter()));
      break;
    case command::kFind:
      RunFindDialog(GetActiveWindow(), m_model, m_findHistory, [this] {
        m_gridView.ShowSelection();
        ShowDetails();
      });
      return true;
    case command::kHelpTopics:
      OpenHelpTopics(m_window);
      return true;
    default:
      if (!m_fileCommands.OnCommand(id, m_window)) return false;
      break;
  }
  ShowDetails();
  return true;
}

// Up and Down show the record next to the selection as it is before the list moves
// it; the key then goes on to the list commands.
bool CMainWindowImpl::OnGridNotify(const NMHDR& header) {
  if (header.hwndFrom != m_gridView.Handle()) return false;
  if (header.code == static_cast<UINT>(NM_CLICK)) {
    const int row = reinterpret_cast<const NMITEMACTIVATE&>(header).iItem;
    if (row >= 0) {
      m_model.ActivateRow(static_cast<std::size_t>(row));
      ShowDetails();
    }
    return true;
  }
  if (header.code == static_cast<UINT>(LVN_KEYDOWN)) {
    const WORD key = reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey;
    if (key == VK_UP || key == VK_DOWN) {
      m_model.OnGridArrowKey(key == VK_DOWN);
      ShowDetails();
    }
  }
  return m_gridView.OnNotify(header);
}

bool CMainWindowImpl::TranslateKey(MSG& message) {
  if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST) return false;
  if (m_window == nullptr || (message.hwnd != m_window && !IsChild(m_window, message.hwnd))) return false;
  if (!m_commandKeys.Translate(m_window, message)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return true;
}

void CMainWindowImpl::ShowDetails() { m_detailTabs.ShowDetails(m_model.Details()); }

void CMainWindowImpl::DrainCaptureMessages() {
  for (CaptureMessage& message : m_queue->TakeAll()) m_model.Deliver(std::move(message));
}

LRESULT CMainWindowImpl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND window = m_window;
  LRESULT result = 0;
  if (m_firstMap.ProcessWindowMessage(window, message, wParam, lParam, result)) return result;
  switch (message) {
    case kCaptureWake:
      DrainCaptureMessages();
      return 0;
    case WM_SIZE:
      Layout();
      return 0;
    case WM_SETCURSOR:
      // Only over the window's own area (the bar), not over its children.
      if (reinterpret_cast<HWND>(wParam) != window) break;
      [[fallthrough]];
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP: {
      bool moved = false;
      if (!m_splitter.OnMouse(window, message, lParam, m_panes, moved)) break;
      if (moved) Layout();
      return message == WM_SETCURSOR ? TRUE : 0;
    }
    case WM_COMMAND:
      if (OnCommand(LOWORD(wParam))) return 0;
      break;
    case WM_NOTIFY: {
      const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
      if (m_toolbar.OnNotify(header, window, m_model.Filter().m_bFilterOn)) return TBDDRET_DEFAULT;
      if (OnGridNotify(header)) return 0;
      break;
    }
    case WM_NCDESTROY:
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      m_window = nullptr;
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace tracewell::win
