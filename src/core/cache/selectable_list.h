#pragma once
// A report list of text rows with a selection, as the manager's host and file lists
// hold them. The host toolkit mirrors the rows and reports selection changes.

#include <cstddef>
#include <optional>
#include <vector>

#include "views/collator.h"
#include "views/list_copy.h"

namespace tracewell {

class CSelectableTextList final : public IListRows {
 public:
  explicit CSelectableTextList(std::size_t columnCount) : m_columnCount(columnCount) {}

  void AppendRow(TextRow cells);
  void InsertRowAtTop(TextRow cells);
  void DeleteRow(std::size_t row);
  void DeleteAllRows() { m_rows.clear(); }
  void SetSelected(std::size_t row, bool selected) { m_rows.at(row).selected = selected; }

  // A header click: the rows sorted by the column's text, ascending, or the other
  // direction when it is the sort column; selections go with their rows. Rows added
  // later stand where they are put until the next sort.
  void SortByColumn(std::size_t column, const ICollator& collator);
  std::optional<std::size_t> SortColumn() const { return m_sortColumn; }
  bool SortDescending() const { return m_descending; }

  std::optional<std::size_t> FirstSelectedRow() const;
  // The row an arrow key moves to, before the list moves its selection: the one
  // above or below the last selected row, or the first row for Down without a
  // selection; nothing past either end.
  std::optional<std::size_t> RowAfterArrowKey(bool down) const;
  const std::u16string& Cell(std::size_t row, std::size_t column) const { return m_rows.at(row).cells.at(column); }

  std::size_t RowCount() const override { return m_rows.size(); }
  std::size_t ColumnCount() const override { return m_columnCount; }
  std::span<const std::u16string> Row(std::size_t row) const override { return m_rows.at(row).cells; }
  bool IsSelected(std::size_t row) const override { return m_rows.at(row).selected; }

 private:
  struct ListRow {
    TextRow cells;
    bool selected = false;
  };
  std::optional<std::size_t> LastSelectedRow() const;

  std::size_t m_columnCount;
  std::vector<ListRow> m_rows;
  std::optional<std::size_t> m_sortColumn;
  bool m_descending = false;
};

}  // namespace tracewell
