#pragma once
// The session grid on screen: a report-style list view that follows the grid model
// row by row, with the model's ten columns, the list commands, and its selection kept
// in the model (the copy commands read it there). A header click sorts the model's
// rows; the header's arrow shows the sort while the rows stand in its order.

#include <windows.h>

#include <optional>

#include "list_commands.h"
#include "sort_arrow.h"
#include "views/session_grid.h"

namespace tracewell::win {

class CGridListView final : public IGridRowsListener {
 public:
  CGridListView(CSessionGridModel& grid, IClipboard& clipboard);

  // Creates the list view in `parent`; false when the system refuses.
  bool Create(HWND parent);
  HWND Handle() const { return m_list; }

  // The grid's own notifications: header clicks, selection changes, the right click
  // and the keys of the list commands. False for the rest.
  bool OnNotify(const NMHDR& header);

  // The model's selection, set by a search, into the view, its last row scrolled into
  // sight.
  void ShowSelection();

  void OnRowAppended(std::size_t row) override;
  void OnCellsChanged(std::size_t row, std::size_t firstColumn, std::size_t lastColumn) override;
  void OnAllRowsDeleted() override;
  void OnRowsSorting() override {}
  void OnRowsSorted(std::span<const std::size_t> oldPositions) override;

 private:
  void SetCell(std::size_t row, std::size_t column);
  // The sort arrow on the sort column's header while the rows stand in its order, on
  // no header otherwise.
  void ShowSortOrder();
  // The model's selection into the view, after a selection command.
  void PushSelection();

  CSessionGridModel& m_grid;
  CListCommands m_commands;
  HWND m_list = nullptr;
  // What the header shows now, so that only a change rewrites it.
  std::optional<ShownSort> m_shownSort;
};

}  // namespace tracewell::win
