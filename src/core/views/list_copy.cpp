#include "views/list_copy.h"

#include "text/code_page.h"

namespace tracewell {
namespace {

bool Inside(int index, std::size_t count) {
  return index >= 0 && static_cast<std::size_t>(index) < count;
}

}  // namespace

std::u16string CopyCellText(const IListRows& list, int hitRow, int hitColumn) {
  if (!Inside(hitRow, list.RowCount()) || !Inside(hitColumn, list.ColumnCount())) return {};
  return list.Row(static_cast<std::size_t>(hitRow))[static_cast<std::size_t>(hitColumn)];
}

std::u16string CopySelectedRowsText(const IListRows& list) {
  std::u16string text;
  for (std::size_t row = 0; row < list.RowCount(); ++row) {
    if (list.IsSelected(row)) AppendRowCopyText(text, list.Row(row));
  }
  return text;
}

std::u16string CopyAllRowsText(const IListRows& list) {
  std::u16string text;
  for (std::size_t row = 0; row < list.RowCount(); ++row) AppendRowCopyText(text, list.Row(row));
  return text;
}

std::u16string CopyColumnText(const IListRows& list, int hitColumn) {
  if (!Inside(hitColumn, list.ColumnCount())) return {};
  std::u16string text;
  for (std::size_t row = 0; row < list.RowCount(); ++row) {
    text += list.Row(row)[static_cast<std::size_t>(hitColumn)];
    text += u"\r\n";
  }
  return text;
}

void CopyTextToClipboard(IClipboard& clipboard, std::u16string_view text) {
  const std::string narrow = ToCodePage(text);
  if (!narrow.empty()) clipboard.SetText(narrow);
}

}  // namespace tracewell
