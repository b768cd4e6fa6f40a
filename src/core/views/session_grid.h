#pragma once
// The session grid as a model: one row per shown record (borrowed from the session
// list), the ten cell texts, updates by column mask, sorting, selection. An index
// from record to rows keeps an update from scanning every row; it names rows by a
// fixed id, so sorting only renumbers their positions.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "views/collator.h"
#include "views/column_sort.h"
#include "views/grid_columns.h"
#include "views/list_helper.h"

namespace tracewell {

// Told of every change to the rows, right after it happened, so that a view over
// the grid can follow it without reading every row again.
class IGridRowsListener {
 public:
  virtual ~IGridRowsListener() = default;
  // A row was appended; it is the last row.
  virtual void OnRowAppended(std::size_t row) = 0;
  // Cells of the row from `firstColumn` to `lastColumn` (inclusive) were rewritten.
  virtual void OnCellsChanged(std::size_t row, std::size_t firstColumn, std::size_t lastColumn) = 0;
  virtual void OnAllRowsDeleted() = 0;
  // The rows are about to be reordered; then they were: the row now at position i
  // stood at `oldPositions[i]`.
  virtual void OnRowsSorting() = 0;
  virtual void OnRowsSorted(std::span<const std::size_t> oldPositions) = 0;
};

// The text an update with the column's bit writes: like a new row's, except that the
// duration is the plain difference (negative included) and the size uses "%ld".
std::u16string UpdatedCellText(const CHttpTransaction& record, std::size_t column);

class CSessionGridModel final : public ISelectableList {
 public:
  explicit CSessionGridModel(const ICollator& collator) : m_collator(collator) {}

  // Visible: the grid and every window that contains it are shown. A grid that is
  // not visible takes no rows and rewrites none.
  void SetVisible(bool visible) { m_visible = visible; }
  bool IsVisible() const { return m_visible; }

  // One listener at a time; nullptr for none.
  void SetListener(IGridRowsListener* listener) { m_listener = listener; }

  // Appends a row numbered by the rows before it; nothing while not visible.
  void AddTransactionRow(CHttpTransaction& record);
  // Rewrites the cells whose update bits are set, in every row of the record.
  void UpdateTransactionRow(const CHttpTransaction& record, std::uint32_t mask);
  void DeleteAllRows();

  bool HasRow(const CHttpTransaction& record) const { return m_firstRowOf.contains(&record); }
  CHttpTransaction* RowRecord(std::size_t row) const { return m_rows.at(row)->record; }

  // A header click: ascending, or the other direction when it is the sort column.
  void SortByColumn(std::size_t column);
  std::optional<std::size_t> SortColumn() const { return m_sortColumn; }
  bool SortDescending() const { return m_descending; }
  // The rows still stand in the order of the last sort. A deletion of every row ends
  // it (the rows come back in arrival order), and so does a row appended or a cell
  // rewritten out of that order.
  bool InSortOrder() const { return m_inSortOrder; }

  void SetSelected(std::size_t row, bool selected) { m_rows.at(row)->selected = selected; }
  void SelectOnly(std::size_t row);
  void SelectAllRows() override;
  void InvertSelection() override;
  // The highest selected row, if any.
  std::optional<std::size_t> LastSelectedRow() const;

  std::size_t RowCount() const override { return m_rows.size(); }
  std::size_t ColumnCount() const override { return kGridColumnCount; }
  std::span<const std::u16string> Row(std::size_t row) const override { return m_rows.at(row)->cells; }
  bool IsSelected(std::size_t row) const override { return m_rows.at(row)->selected; }

 private:
  using RowId = std::uint32_t;
  static constexpr RowId kNoRow = UINT32_MAX;
  struct GridRow {
    CHttpTransaction* record;
    GridRowTexts cells;
    RowId id;
    bool selected = false;
  };

  std::u16string_view SortKey(std::size_t position) const;
  // Ends the sort order when the row at `position` no longer fits between its neighbours.
  void CheckSortOrderAt(std::size_t position);

  const ICollator& m_collator;
  IGridRowsListener* m_listener = nullptr;
  bool m_visible = true;
  // Each row in its own block: appending and sorting move pointers, never the ten
  // texts of a row, however many rows there are.
  std::vector<std::unique_ptr<GridRow>> m_rows;
  // By row id: where the row stands now, and the next row of the same record (a
  // record normally has one row, but every row of it is updated).
  std::vector<std::size_t> m_positionOf;
  std::vector<RowId> m_nextOfRecord;
  // A tree, not a hash table: a hash table's growth rehashes every entry at once,
  // which stalls a large live session for tens of milliseconds.
  std::map<const CHttpTransaction*, RowId> m_firstRowOf;
  std::optional<std::size_t> m_sortColumn;
  bool m_descending = false;
  bool m_inSortOrder = false;
};

}  // namespace tracewell
