#include "grid_list_view.h"

#include <commctrl.h>

#include <string>

#include "module.h"

namespace tracewell::win {
namespace {

constexpr DWORD kListStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | LVS_REPORT | LVS_SHOWSELALWAYS;

}  // namespace

bool CGridListView::Create(HWND parent) {
  m_list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", kListStyle, 0, 0, 0, 0, parent, nullptr,
                           CBandkitModule::Get().Instance(), nullptr);
  if (m_list == nullptr) return false;
  SendMessageW(m_list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
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

void CGridListView::SetCell(std::size_t row, std::size_t column) {
  const std::u16string& text = m_grid.Row(row)[column];
  std::wstring cell(text.begin(), text.end());
  LVITEMW item{};
  item.iSubItem = static_cast<int>(column);
  item.pszText = cell.data();
  SendMessageW(m_list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

void CGridListView::OnRowAppended(std::size_t row) {
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = static_cast<int>(row);
  item.pszText = const_cast<wchar_t*>(L"");
  SendMessageW(m_list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  for (std::size_t column = 0; column < m_grid.ColumnCount(); ++column) SetCell(row, column);
}

void CGridListView::OnCellsChanged(std::size_t row, std::size_t firstColumn, std::size_t lastColumn) {
  for (std::size_t column = firstColumn; column <= lastColumn; ++column) SetCell(row, column);
}

void CGridListView::OnAllRowsDeleted() { SendMessageW(m_list, LVM_DELETEALLITEMS, 0, 0); }

// Every row stands somewhere else: all of them are written again.
void CGridListView::OnRowsSorted(std::span<const std::size_t>) {
  for (std::size_t row = 0; row < m_grid.RowCount(); ++row) {
    OnCellsChanged(row, 0, m_grid.ColumnCount() - 1);
  }
}

}  // namespace tracewell::win
