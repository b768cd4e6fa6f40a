#pragma once
// The copy commands every list offers (the grid and the detail tabs' lists), over
// any list of text rows, and the clipboard rule: empty text leaves it alone.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "views/clipboard.h"
#include "views/text_rows.h"

namespace tracewell {

// A list as the copy commands see it: cell texts by row, columns in index order.
class IListRows {
 public:
  virtual ~IListRows() = default;
  virtual std::size_t RowCount() const = 0;
  virtual std::size_t ColumnCount() const = 0;
  virtual std::span<const std::u16string> Row(std::size_t row) const = 0;
  virtual bool IsSelected(std::size_t row) const = 0;
};

// A detail tab's rows as a list; nothing selected.
class TextRowsList final : public IListRows {
 public:
  explicit TextRowsList(const TextRows& rows) : m_rows(rows) {}
  std::size_t RowCount() const override { return m_rows.size(); }
  std::size_t ColumnCount() const override { return m_rows.empty() ? 0 : m_rows.front().size(); }
  std::span<const std::u16string> Row(std::size_t row) const override { return m_rows.at(row); }
  bool IsSelected(std::size_t) const override { return false; }

 private:
  const TextRows& m_rows;
};

// "Copy Cell": the cell alone, no line end; empty for a row or column outside the list.
std::u16string CopyCellText(const IListRows& list, int hitRow, int hitColumn);
// "Copy Selected Rows": the selected rows in ascending order, as row texts.
std::u16string CopySelectedRowsText(const IListRows& list);
// "Copy All Rows".
std::u16string CopyAllRowsText(const IListRows& list);
// "Copy Current Column": every row's cell of the column, each ending in CR LF.
std::u16string CopyColumnText(const IListRows& list, int hitColumn);

// Puts the text on the clipboard in the narrow code page, unless that is empty.
void CopyTextToClipboard(IClipboard& clipboard, std::u16string_view text);

}  // namespace tracewell
