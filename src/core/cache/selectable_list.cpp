#include "cache/selectable_list.h"

#include "text/assert.h"
#include "views/column_sort.h"

#include <stdexcept>
#include <utility>

namespace tracewell {

void CSelectableTextList::AppendRow(TextRow cells) {
  cells.resize(m_columnCount);
  m_rows.push_back({std::move(cells)});
}

void CSelectableTextList::InsertRowAtTop(TextRow cells) {
  cells.resize(m_columnCount);
  m_rows.insert(m_rows.begin(), {std::move(cells)});
}

void CSelectableTextList::DeleteRow(std::size_t row) {
  if (row >= m_rows.size()) throw std::out_of_range("CSelectableTextList::DeleteRow");
  m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(row));
}

void CSelectableTextList::SortByColumn(std::size_t column, const ICollator& collator) {
  TRACEWELL_ASSERT(column < m_columnCount);
  m_descending = m_sortColumn == column ? !m_descending : false;
  m_sortColumn = column;
  std::vector<std::u16string_view> keys;
  keys.reserve(m_rows.size());
  for (const ListRow& row : m_rows) keys.push_back(SortPrefix(row.cells[column]));
  std::vector<ListRow> sorted;
  sorted.reserve(m_rows.size());
  for (const std::size_t row : SortedOrder(keys, collator, m_descending)) sorted.push_back(std::move(m_rows[row]));
  m_rows = std::move(sorted);
}

std::optional<std::size_t> CSelectableTextList::FirstSelectedRow() const {
  for (std::size_t row = 0; row < m_rows.size(); ++row) {
    if (m_rows[row].selected) return row;
  }
  return std::nullopt;
}

std::optional<std::size_t> CSelectableTextList::LastSelectedRow() const {
  for (std::size_t row = m_rows.size(); row-- > 0;) {
    if (m_rows[row].selected) return row;
  }
  return std::nullopt;
}

std::optional<std::size_t> CSelectableTextList::RowAfterArrowKey(bool down) const {
  const auto selected = LastSelectedRow();
  if (!selected) {
    if (down && !m_rows.empty()) return 0;
    return std::nullopt;
  }
  if (down) {
    if (*selected + 1 < m_rows.size()) return *selected + 1;
    return std::nullopt;
  }
  if (*selected > 0) return *selected - 1;
  return std::nullopt;
}

}  // namespace tracewell
