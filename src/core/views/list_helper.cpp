#include "views/list_helper.h"

namespace tracewell {
namespace {

bool IsHelperList(int listId) { return listId >= kFirstHelperListId && listId <= kLastHelperListId; }

}  // namespace

const std::array<MenuItem, 7> kListMenuItems = {{
    {command::kCopyCell, u"Copy Cell"},
    {command::kCopySelectedRows, u"Copy Selected Rows"},
    {command::kCopyAllRows, u"Copy All Rows"},
    {command::kCopyCurrentColumn, u"Copy Current Column"},
    {kSeparator, {}},
    {command::kSelectAllRows, u"Select All Rows"},
    {command::kInvertSelection, u"Invert Selection"},
}};

bool CListCtrlHelper::OnRightClick(int listId, int hitRow, int hitColumn, int clickedRow,
                                   std::size_t rowCount) {
  if (!IsHelperList(listId)) return false;
  m_nHitRow = hitRow;
  m_nHitColumn = hitColumn;
  return clickedRow >= 0 && static_cast<std::size_t>(clickedRow) < rowCount;
}

std::optional<int> CListCtrlHelper::CommandForKey(int listId, char key, bool ctrlDown) {
  if (!IsHelperList(listId) || !ctrlDown) return std::nullopt;
  if (key == 'A') return command::kSelectAllRows;
  if (key == 'C') return command::kCopySelectedRows;
  return std::nullopt;
}

bool CListCtrlHelper::OnCommand(int commandId, ISelectableList* list, IClipboard& clipboard) const {
  switch (commandId) {
    case command::kCopyCell:
      if (list) CopyTextToClipboard(clipboard, CopyCellText(*list, m_nHitRow, m_nHitColumn));
      return true;
    case command::kCopySelectedRows:
      if (list) CopyTextToClipboard(clipboard, CopySelectedRowsText(*list));
      return true;
    case command::kCopyAllRows:
      if (list) CopyTextToClipboard(clipboard, CopyAllRowsText(*list));
      return true;
    case command::kCopyCurrentColumn:
      if (list) CopyTextToClipboard(clipboard, CopyColumnText(*list, m_nHitColumn));
      return true;
    case command::kSelectAllRows:
      if (list) list->SelectAllRows();
      return true;
    case command::kInvertSelection:
      if (list) list->InvertSelection();
      return true;
    default:
      return false;
  }
}

}  // namespace tracewell
