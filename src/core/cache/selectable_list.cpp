#include "cache/selectable_list.h"

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
