#include "content_view.h"

#include "child_window_class.h"
#include "list_styles.h"
#include "module.h"
#include "wide_text.h"

namespace tracewell::win {
namespace {

constexpr wchar_t kClassName[] = L"TracewellContentView";
constexpr DWORD kViewStyle = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

// The highest selected row, or -1 when no row is selected.
int LastSelectedRow(HWND list) {
  int last = -1;
  for (int row = -1; (row = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(row),
                                                          LVNI_SELECTED))) >= 0;) {
    last = row;
  }
  return last;
}

}  // namespace

CContentView::CContentView(CInspectorModel& model, IClipboard& clipboard)
    : m_model(model),
      m_images(kImageTableList, kFixedListStyles, clipboard),
      m_links(kLinkTableList, kFixedListStyles, clipboard),
      m_formFields(kFormFieldTableList, kFixedListStyles, clipboard) {}

CContentView::~CContentView() {
  if (m_view != nullptr && IsWindow(m_view)) SetWindowLongPtrW(m_view, GWLP_USERDATA, 0);
}

bool CContentView::Create(HWND parent) {
  if (!RegisterChildWindowClass(kClassName)) return false;
  const std::wstring title = Wide(kInspectorTitle);
  m_view = CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, title.c_str(), kViewStyle, 0, 0, 0, 0, parent, nullptr,
                           CBandkitModule::Get().Instance(), nullptr);
  if (m_view == nullptr) return false;
  SetWindowLongPtrW(m_view, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(m_view, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ViewWindowProc<CContentView>));
  if (!m_tree.Create(m_view) || !m_text.Create(m_view, inspector_control::kText) || !m_rootPanel.Create(m_view)) {
    return false;
  }
  for (CDetailListView* table : Tables()) {
    if (!table->Create(m_view)) return false;
  }
  Refresh();
  return true;
}

void CContentView::Refresh() {
  if (m_view == nullptr) return;
  m_tree.Show(m_model.Tree(), m_model.SelectedItem());
  ShowPane();
}

HWND CContentView::PaneWindow(InspectorPane pane) {
  switch (pane) {
    case InspectorPane::kText:
      return m_text.Handle();
    case InspectorPane::kImages:
      return m_images.Handle();
    case InspectorPane::kLinks:
      return m_links.Handle();
    case InspectorPane::kFormFields:
      return m_formFields.Handle();
    case InspectorPane::kRoot:
      return m_rootPanel.Handle();
  }
  return nullptr;
}

// Rows are shown again only when they changed: refilling a list drops its selection.
void CContentView::ShowPane() {
  m_text.Show(m_model.RichText());
  const auto showRows = [](CDetailListView& table, const ElementRows& rows) {
    if (table.Rows() != rows.rows) table.ShowRows(rows.rows);
  };
  showRows(m_images, m_model.ImageTable());
  showRows(m_links, m_model.LinkTable());
  showRows(m_formFields, m_model.FormFieldTable());
  m_rootPanel.Show(m_model.RootPanel());
  Layout();
}

void CContentView::Layout() {
  RECT client{};
  GetClientRect(m_view, &client);
  const int divider = InspectorDividerFor(client.right);
  MoveWindow(m_tree.Handle(), 0, 0, divider, client.bottom, TRUE);
  const HWND shown = PaneWindow(m_model.Pane());
  for (const InspectorPane pane : {InspectorPane::kText, InspectorPane::kImages, InspectorPane::kLinks,
                                   InspectorPane::kFormFields, InspectorPane::kRoot}) {
    const HWND window = PaneWindow(pane);
    if (window != shown) ShowWindow(window, SW_HIDE);
  }
  MoveWindow(shown, divider, 0, client.right - divider, client.bottom, TRUE);
  ShowWindow(shown, SW_SHOWNA);
}

bool CContentView::OnNotify(const NMHDR& header) {
  if (const auto item = m_tree.ChosenItem(header)) {
    m_model.OnTreeItemChosen(*item);
    ShowPane();
    return true;
  }
  for (CDetailListView* table : Tables()) {
    if (header.hwndFrom == table->Handle()) return OnTableNotify(*table, header);
  }
  return false;
}

bool CContentView::OnTableNotify(CDetailListView& table, const NMHDR& header) {
  if (header.code == static_cast<UINT>(NM_CLICK)) {
    m_model.OnTableRowClicked(reinterpret_cast<const NMITEMACTIVATE&>(header).iItem);
    return true;
  }
  if (header.code == static_cast<UINT>(LVN_KEYDOWN)) {
    const WORD key = reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey;
    if (key == VK_UP || key == VK_DOWN) m_model.OnTableArrowKey(key == VK_DOWN, LastSelectedRow(table.Handle()));
  }
  return table.Commands().OnNotify(header);
}

LRESULT CContentView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND view = m_view;
  switch (message) {
    case WM_SIZE:
      Layout();
      return 0;
    case WM_SHOWWINDOW:
      // Hidden on its own (another tab chosen), not with the window around it: the
      // outline comes off the page meanwhile.
      if (wParam == FALSE && lParam == 0) m_model.RestoreHighlight();
      break;
    case WM_NOTIFY:
      if (OnNotify(*reinterpret_cast<const NMHDR*>(lParam))) return 0;
      break;
    case WM_NCDESTROY:
      SetWindowLongPtrW(view, GWLP_USERDATA, 0);
      m_view = nullptr;
      break;
    default:
      break;
  }
  return DefWindowProcW(view, message, wParam, lParam);
}

}  // namespace tracewell::win
