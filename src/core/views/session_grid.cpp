#include "views/session_grid.h"

#include <algorithm>

#include "record/duration.h"
#include "text/assert.h"
#include "text/format.h"

namespace tracewell {

std::u16string UpdatedCellText(const CHttpTransaction& record, std::size_t column) {
  switch (column) {
    case 2: return DurationTextForUpdate(record);
    case 3: return FormatText("%d", record.m_nSent);
    case 4: return record.m_strMethod;
    case 5: return record.m_strResult;
    case 6: return FormatText("%ld", static_cast<long>(record.m_nSize));
    case 7: return record.m_strMimeType;
    case 8: return record.m_strUrl;
    case 9: return record.m_strIpAddress;
    default: return {};
  }
}

void CSessionGridModel::AddTransactionRow(CHttpTransaction& record) {
  if (!m_visible) return;
  const auto id = static_cast<RowId>(m_positionOf.size());
  m_positionOf.push_back(m_rows.size());
  m_nextOfRecord.push_back(kNoRow);
  if (const auto [first, inserted] = m_firstRowOf.try_emplace(&record, id); !inserted) {
    RowId last = first->second;
    while (m_nextOfRecord[last] != kNoRow) last = m_nextOfRecord[last];
    m_nextOfRecord[last] = id;
  }
  m_rows.push_back(std::make_unique<GridRow>(
      GridRow{&record, NewRowTexts(record, static_cast<int>(m_rows.size())), id}));
  CheckSortOrderAt(m_rows.size() - 1);
  if (m_listener) m_listener->OnRowAppended(m_rows.size() - 1);
}

void CSessionGridModel::UpdateTransactionRow(const CHttpTransaction& record, std::uint32_t mask) {
  if (!m_visible) return;
  const auto it = m_firstRowOf.find(&record);
  if (it == m_firstRowOf.end()) return;
  const auto written = [mask](const GridColumnInfo& column) { return (mask & column.updateBit) != 0; };
  const auto first = std::ranges::find_if(kGridColumns, written);
  if (first == kGridColumns.end()) return;
  const auto last = std::ranges::find_if(kGridColumns.rbegin(), kGridColumns.rend(), written);
  const auto firstColumn = static_cast<std::size_t>(first - kGridColumns.begin());
  const auto lastColumn = static_cast<std::size_t>(kGridColumns.rend() - last) - 1;
  for (RowId id = it->second; id != kNoRow; id = m_nextOfRecord[id]) {
    const std::size_t position = m_positionOf[id];
    TRACEWELL_ASSERT(position < m_rows.size() && m_rows[position]->id == id);
    GridRowTexts& cells = m_rows[position]->cells;
    for (std::size_t column = firstColumn; column <= lastColumn; ++column) {
      if (written(kGridColumns[column])) cells[column] = UpdatedCellText(record, column);
    }
    if (m_sortColumn && written(kGridColumns[*m_sortColumn])) CheckSortOrderAt(position);
    if (m_listener) m_listener->OnCellsChanged(position, firstColumn, lastColumn);
  }
}

void CSessionGridModel::DeleteAllRows() {
  m_rows.clear();
  m_positionOf.clear();
  m_nextOfRecord.clear();
  m_firstRowOf.clear();
  m_inSortOrder = false;
  if (m_listener) m_listener->OnAllRowsDeleted();
}

void CSessionGridModel::SortByColumn(std::size_t column) {
  m_descending = m_sortColumn == column ? !m_descending : false;
  m_sortColumn = column;
  // Sort row numbers by the cells' prefixes, then put the rows in their new order.
  std::vector<std::u16string_view> keys;
  keys.reserve(m_rows.size());
  for (std::size_t position = 0; position < m_rows.size(); ++position) {
    keys.push_back(SortKey(position));
  }
  const std::vector<std::size_t> order = SortedOrder(keys, m_collator, m_descending);
  if (m_listener) m_listener->OnRowsSorting();
  std::vector<std::unique_ptr<GridRow>> sorted;
  sorted.reserve(m_rows.size());
  for (const std::size_t row : order) sorted.push_back(std::move(m_rows[row]));
  m_rows = std::move(sorted);
  for (std::size_t position = 0; position < m_rows.size(); ++position) {
    m_positionOf[m_rows[position]->id] = position;
  }
  m_inSortOrder = true;
  if (m_listener) m_listener->OnRowsSorted(order);
}

std::u16string_view CSessionGridModel::SortKey(std::size_t position) const {
  TRACEWELL_ASSERT(m_sortColumn.has_value());
  return SortPrefix(m_rows[position]->cells[*m_sortColumn]);
}

void CSessionGridModel::CheckSortOrderAt(std::size_t position) {
  if (!m_inSortOrder) return;
  // Equal keys may stand in either order: the sort is stable, arrival order among them.
  const auto ordered = [this](std::size_t first, std::size_t second) {
    const int compared = m_collator.Compare(SortKey(first), SortKey(second));
    return m_descending ? compared >= 0 : compared <= 0;
  };
  m_inSortOrder = (position == 0 || ordered(position - 1, position)) &&
                  (position + 1 == m_rows.size() || ordered(position, position + 1));
}

void CSessionGridModel::SelectOnly(std::size_t row) {
  for (auto& each : m_rows) each->selected = false;
  m_rows.at(row)->selected = true;
}

void CSessionGridModel::SelectAllRows() {
  for (auto& row : m_rows) row->selected = true;
}

void CSessionGridModel::InvertSelection() {
  for (auto& row : m_rows) row->selected = !row->selected;
}

std::optional<std::size_t> CSessionGridModel::LastSelectedRow() const {
  for (std::size_t row = m_rows.size(); row-- > 0;) {
    if (m_rows[row]->selected) return row;
  }
  return std::nullopt;
}

}  // namespace tracewell
