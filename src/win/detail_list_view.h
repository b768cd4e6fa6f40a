#pragma once
// One list of a detail tab: a report list with the columns of its layout, showing a copy of its model's rows. Its selection is the
// list view's own; the copy and selection commands act on it when its id takes part.

#include <windows.h>

#include "list_commands.h"
#include "views/detail_lists.h"
#include "views/text_rows.h"

namespace tracewell::win {

class CDetailListView final : public ISelectableList {
 public:
  // `styles`: the list's extended list-view styles.
  CDetailListView(const DetailList& layout, DWORD styles, IClipboard& clipboard);

  // Creates the list in `parent` with the layout's id; false when the system refuses.
  bool Create(HWND parent);
  HWND Handle() const { return m_list; }
  int ListId() const { return m_layout.id; }
  CListCommands& Commands() { return m_commands; }

  void ShowRows(const TextRows& rows);
  const TextRows& Rows() const { return m_rows; }
  void SetColumnWidths(std::initializer_list<int> widths);

  std::size_t RowCount() const override { return m_rows.size(); }
  // The columns of the layout, which the list's header shows.
  std::size_t ColumnCount() const override { return m_layout.columns.size(); }
  std::span<const std::u16string> Row(std::size_t row) const override { return m_rows.at(row); }
  bool IsSelected(std::size_t row) const override;
  void SelectAllRows() override { SelectAllListRows(m_list); }
  void InvertSelection() override { InvertListSelection(m_list); }

 private:
  const DetailList& m_layout;
  DWORD m_styles;
  TextRows m_rows;
  CListCommands m_commands;
  HWND m_list = nullptr;
};

}  // namespace tracewell::win
