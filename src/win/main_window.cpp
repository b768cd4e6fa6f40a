#include "main_window.h"

#include <commctrl.h>

#include <iterator>

#include "filter_dialog.h"
#include "find_dialog.h"
#include "module.h"

namespace tracewell::win {
namespace {

constexpr wchar_t kClassName[] = L"TracewellMainWindow";
constexpr DWORD kStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr DWORD kExtendedStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;  // 0x40100
// Posted by the capture queue when messages wait in it.
constexpr UINT kCaptureWake = WM_APP + 1;

bool RegisterWindowClass(HINSTANCE instance) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExW(instance, kClassName, &existing)) return true;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  return RegisterClassExW(&windowClass) != 0;
}

struct ToolbarButton {
  int id;
  const wchar_t* text;
  BYTE style;
  BYTE state;
};

// Recording is off at first: Stop is the checked one of the pair.
constexpr ToolbarButton kToolbarButtons[] = {
    {command::kStart, L"Start", BTNS_CHECK, TBSTATE_ENABLED},
    {command::kStop, L"Stop", BTNS_CHECK, TBSTATE_ENABLED | TBSTATE_CHECKED},
    {command::kClear, L"Clear", BTNS_BUTTON, TBSTATE_ENABLED},
    {command::kLoad, L"Load", BTNS_BUTTON, TBSTATE_ENABLED},
    {command::kSave, L"Save", BTNS_BUTTON, TBSTATE_ENABLED},
};

HWND CreateToolbar(HWND parent) {
  const HWND toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"",
                                       WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST | CCS_TOP,
                                       0, 0, 0, 0, parent, nullptr, CBandkitModule::Get().Instance(), nullptr);
  if (toolbar == nullptr) return nullptr;
  SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  TBBUTTON buttons[std::size(kToolbarButtons)] = {};
  for (std::size_t i = 0; i < std::size(kToolbarButtons); ++i) {
    buttons[i].iBitmap = I_IMAGENONE;
    buttons[i].idCommand = kToolbarButtons[i].id;
    buttons[i].fsState = kToolbarButtons[i].state;
    buttons[i].fsStyle = static_cast<BYTE>(kToolbarButtons[i].style | BTNS_SHOWTEXT | BTNS_AUTOSIZE);
    buttons[i].iString = reinterpret_cast<INT_PTR>(kToolbarButtons[i].text);
  }
  SendMessageW(toolbar, TB_ADDBUTTONSW, std::size(buttons), reinterpret_cast<LPARAM>(buttons));
  SendMessageW(toolbar, TB_AUTOSIZE, 0, 0);
  return toolbar;
}

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
  if (!RegisterWindowClass(instance)) return false;
  const HWND window = CreateWindowExW(kExtendedStyle, kClassName, L"", kStyle, area.left, area.top,
                                      area.right - area.left, area.bottom - area.top, parent,
                                      nullptr, instance, nullptr);
  if (window == nullptr) return false;
  m_window = window;
  m_clipboard.SetOwner(window);
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc));
  if (!CreateChildren()) {
    Destroy();
    return false;
  }
  m_queue = std::make_shared<CCaptureQueue>([window] { PostMessageW(window, kCaptureWake, 0, 0); });
  Layout();
  return true;
}

bool CMainWindowImpl::CreateChildren() {
  m_toolbar = CreateToolbar(m_window);
  return m_toolbar != nullptr && m_gridView.Create(m_window) && m_detailTabs.Create(m_window) &&
         m_inspectorView.Create(m_window);
}

// Messages still waiting are dropped with the window: their records have no grid
// left to show them.
void CMainWindowImpl::Destroy() {
  if (m_queue) m_queue->Close();
  if (m_window != nullptr && IsWindow(m_window)) DestroyWindow(m_window);
  m_window = nullptr;
  m_toolbar = nullptr;
}

void CMainWindowImpl::CheckRecordingButton(int checked) {
  if (SendMessageW(m_toolbar, TB_ISBUTTONCHECKED, static_cast<WPARAM>(checked), 0) != 0) return;
  const int other = checked == command::kStart ? command::kStop : command::kStart;
  SendMessageW(m_toolbar, TB_CHECKBUTTON, static_cast<WPARAM>(checked), TRUE);
  SendMessageW(m_toolbar, TB_CHECKBUTTON, static_cast<WPARAM>(other), FALSE);
}

void CMainWindowImpl::ShowInspectorLoading() {
  m_inspector.ShowInspectorLoading();
  ShowInspectorTree();
}

void CMainWindowImpl::RebuildInspector() {
  m_inspector.RebuildInspectorTree();
  ShowInspectorTree();
}

void CMainWindowImpl::ClearInspector() {
  m_inspector.ClearInspector();
  ShowInspectorTree();
}

// Events still arrive after the window is gone (the browser is let go only with the
// site): the model follows them, there is no tree to show them in.
void CMainWindowImpl::ShowInspectorTree() {
  if (Exists()) m_inspectorView.Show(m_inspector.Tree());
}

// The toolbar on top, the inspector's tree in the lowest third, the grid and the
// detail tabs sharing what lies between.
void CMainWindowImpl::Layout() {
  if (m_toolbar == nullptr) return;
  RECT client{};
  GetClientRect(m_window, &client);
  SendMessageW(m_toolbar, TB_AUTOSIZE, 0, 0);
  RECT bar{};
  GetWindowRect(m_toolbar, &bar);
  const int top = bar.bottom - bar.top;
  const LONG below = std::max(0L, client.bottom - top);
  const LONG treeHeight = below / 3;
  const LONG gridHeight = (below - treeHeight) / 2;
  MoveWindow(m_gridView.Handle(), 0, top, client.right, gridHeight, TRUE);
  MoveWindow(m_detailTabs.Handle(), 0, top + gridHeight, client.right, below - treeHeight - gridHeight, TRUE);
  MoveWindow(m_inspectorView.Handle(), 0, top + below - treeHeight, client.right, treeHeight, TRUE);
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
    case command::kFilter:
      m_model.OnFilterDialogClosed(RunFilterDialog(GetActiveWindow(), m_model.Filter()));
      break;
    case command::kFind:
      RunFindDialog(GetActiveWindow(), m_model, m_findHistory, [this] {
        m_gridView.ShowSelection();
        ShowDetails();
      });
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

void CMainWindowImpl::ShowDetails() { m_detailTabs.ShowDetails(m_model.Details()); }

void CMainWindowImpl::DrainCaptureMessages() {
  for (CaptureMessage& message : m_queue->TakeAll()) m_model.Deliver(std::move(message));
}

LRESULT CALLBACK CMainWindowImpl::WindowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  auto* self = reinterpret_cast<CMainWindowImpl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  return self->HandleMessage(message, wParam, lParam);
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
    case WM_COMMAND:
      if (OnCommand(LOWORD(wParam))) return 0;
      break;
    case WM_NOTIFY:
      if (OnGridNotify(*reinterpret_cast<const NMHDR*>(lParam))) return 0;
      break;
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
