#include "detail_list_view.h"

#include <string>

#include "module.h"

namespace tracewell::win {
namespace {

constexpr DWORD kListStyle = WS_CHILD | WS_CLIPSIBLINGS | LVS_REPORT | LVS_SHOWSELALWAYS;

void SetCellText(HWND list, int row, int column, const std::u16string& text) {
  std::wstring cell(text.begin(), text.end());
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = cell.data();
  SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

}  // namespace

CDetailListView::CDetailListView(const DetailList& layout, DWORD styles, IClipboard& clipboard)
    : m_layout(layout), m_styles(styles), m_commands(layout.id, *this, clipboard) {}

bool CDetailListView::Create(HWND parent) {
  const auto id = static_cast<INT_PTR>(m_layout.id);
  m_list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", kListStyle, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(id), CBandkitModule::Get().Instance(), nullptr);
  if (m_list == nullptr) return false;
  SendMessageW(m_list, LVM_SETEXTENDEDLISTVIEWSTYLE, m_styles, m_styles);
  int index = 0;
  for (const DetailColumn& detail : m_layout.columns) {
    std::wstring title(detail.title.begin(), detail.title.end());
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = LVCFMT_LEFT;
    column.cx = detail.width;
    column.pszText = title.data();
    SendMessageW(m_list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index++), reinterpret_cast<LPARAM>(&column));
  }
  m_commands.Attach(m_list);
  return true;
}

// Rows wider than the layout show their first columns, narrower ones leave the rest empty.
void CDetailListView::ShowRows(const TextRows& rows) {
  m_rows = rows;
  SendMessageW(m_list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(m_list, LVM_DELETEALLITEMS, 0, 0);
  for (std::size_t row = 0; row < m_rows.size(); ++row) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(row);
    item.pszText = const_cast<wchar_t*>(L"");
    SendMessageW(m_list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    const std::size_t columns = std::min(m_rows[row].size(), ColumnCount());
    for (std::size_t column = 0; column < columns; ++column) {
      SetCellText(m_list, static_cast<int>(row), static_cast<int>(column), m_rows[row][column]);
    }
  }
  SendMessageW(m_list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(m_list, nullptr, TRUE);
}

void CDetailListView::SetColumnWidths(std::initializer_list<int> widths) {
  int column = 0;
  for (const int width : widths) SendMessageW(m_list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column++), width);
}

bool CDetailListView::IsSelected(std::size_t row) const {
  return SendMessageW(m_list, LVM_GETITEMSTATE, row, LVIS_SELECTED) != 0;
}

}  // namespace tracewell::win
