#include "grid_list_view.h"

#include <commctrl.h>

#include <string>

#include "list_styles.h"
#include "module.h"

namespace tracewell::win {
namespace {

constexpr DWORD kListStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | LVS_REPORT | LVS_SHOWSELALWAYS;

}  // namespace

CGridListView::CGridListView(CSessionGridModel& grid, IClipboard& clipboard)
    : m_grid(grid), m_commands(kGridListId, grid, clipboard) {
  m_commands.SetSelectionChanged([this] { PushSelection(); });
}

bool CGridListView::Create(HWND parent) {
  m_list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", kListStyle, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(kGridListId)),
                           CBandkitModule::Get().Instance(), nullptr);
  if (m_list == nullptr) return false;
  SendMessageW(m_list, LVM_SETEXTENDEDLISTVIEWSTYLE, kGridListStyles, kGridListStyles);
  m_commands.Attach(m_list);
  int index = 0;
  for (const GridColumnInfo& info : kGridColumns) {
    std::wstring header(info.header.begin(), info.header.end());
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = info.alignment == ColumnAlignment::kRight ? LVCFMT_RIGHT : LVCFMT_LEFT;
    column.cx = info.width;
    column.pszText = header.data();
    SendMessageW(m_list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index++), reinterpret_cast<LPARAM>(&column));
  }
  return true;
}

bool CGridListView::OnNotify(const NMHDR& header) {
  if (header.hwndFrom != m_list) return false;
  if (header.code == LVN_COLUMNCLICK) {
    const int column = reinterpret_cast<const NMLISTVIEW&>(header).iSubItem;
    if (column >= 0 && static_cast<std::size_t>(column) < m_grid.ColumnCount()) {
      m_grid.SortByColumn(static_cast<std::size_t>(column));
      ShowSortOrder();
    }
    return true;
  }
  if (header.code == LVN_ITEMCHANGED) {
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
    const bool selectionChanged = (change.uChanged & LVIF_STATE) != 0 &&
                                  ((change.uNewState ^ change.uOldState) & LVIS_SELECTED) != 0;
    if (selectionChanged && change.iItem >= 0 && static_cast<std::size_t>(change.iItem) < m_grid.RowCount()) {
      m_grid.SetSelected(static_cast<std::size_t>(change.iItem), (change.uNewState & LVIS_SELECTED) != 0);
    }
    return true;
  }
  return m_commands.OnNotify(header);
}

void CGridListView::PushSelection() {
  SendMessageW(m_list, WM_SETREDRAW, FALSE, 0);
  for (std::size_t row = 0; row < m_grid.RowCount(); ++row) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = m_grid.IsSelected(row) ? LVIS_SELECTED : 0;
    SendMessageW(m_list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  }
  SendMessageW(m_list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(m_list, nullptr, TRUE);
}

void CGridListView::ShowSelection() {
  PushSelection();
  if (const auto row = m_grid.LastSelectedRow()) SendMessageW(m_list, LVM_ENSUREVISIBLE, *row, FALSE);
}

void CGridListView::SetCell(std::size_t row, std::size_t column) {
  const std::u16string& text = m_grid.Row(row)[column];
  std::wstring cell(text.begin(), text.end());
  LVITEMW item{};
  item.iSubItem = static_cast<int>(column);
  item.pszText = cell.data();
  SendMessageW(m_list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

void CGridListView::ShowSortOrder() {
  std::optional<ShownSort> sort;
  if (m_grid.InSortOrder() && m_grid.SortColumn()) sort = ShownSort{*m_grid.SortColumn(), m_grid.SortDescending()};
  if (sort == m_shownSort) return;
  ShowSortArrow(m_list, sort);
  m_shownSort = sort;
}

void CGridListView::OnRowAppended(std::size_t row) {
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = static_cast<int>(row);
  item.pszText = const_cast<wchar_t*>(L"");
  SendMessageW(m_list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  for (std::size_t column = 0; column < m_grid.ColumnCount(); ++column) SetCell(row, column);
  ShowSortOrder();
}

// A rewritten cell may take its row out of the sort order.
void CGridListView::OnCellsChanged(std::size_t row, std::size_t firstColumn, std::size_t lastColumn) {
  for (std::size_t column = firstColumn; column <= lastColumn; ++column) SetCell(row, column);
  ShowSortOrder();
}

void CGridListView::OnAllRowsDeleted() {
  SendMessageW(m_list, LVM_DELETEALLITEMS, 0, 0);
  ShowSortOrder();
}

// Every row stands somewhere else: all of them are written again, the selection too.
void CGridListView::OnRowsSorted(std::span<const std::size_t>) {
  for (std::size_t row = 0; row < m_grid.RowCount(); ++row) {
    for (std::size_t column = 0; column < m_grid.ColumnCount(); ++column) SetCell(row, column);
  }
  PushSelection();
  ShowSortOrder();
}

}  // namespace tracewell::win
