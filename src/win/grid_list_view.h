#pragma once
// The session grid on screen: a report-style list view that follows the grid model
// row by row, with the model's ten columns.

#include <windows.h>

#include "views/session_grid.h"

namespace tracewell::win {

class CGridListView final : public IGridRowsListener {
 public:
  explicit CGridListView(const CSessionGridModel& grid) : m_grid(grid) {}

  // Creates the list view in `parent`; false when the system refuses.
  bool Create(HWND parent);
  HWND Handle() const { return m_list; }

  void OnRowAppended(std::size_t row) override;
  void OnCellsChanged(std::size_t row, std::size_t firstColumn, std::size_t lastColumn) override;
  void OnAllRowsDeleted() override;
  void OnRowsSorting() override {}
  void OnRowsSorted(std::span<const std::size_t> oldPositions) override;

 private:
  void SetCell(std::size_t row, std::size_t column);

  const CSessionGridModel& m_grid;
  HWND m_list = nullptr;
};

}  // namespace tracewell::win
