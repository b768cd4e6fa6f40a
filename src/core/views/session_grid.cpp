#include "views/session_grid.h"

#include <algorithm>

#include "record/duration.h"
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
  m_rowsOf[&record].push_back(m_rows.size());
  m_rows.push_back({&record, NewRowTexts(record, static_cast<int>(m_rows.size()))});
}

void CSessionGridModel::UpdateTransactionRow(const CHttpTransaction& record, std::uint32_t mask) {
  const auto it = m_rowsOf.find(&record);
  if (it == m_rowsOf.end()) return;
  for (const std::size_t row : it->second) {
    for (std::size_t column = 0; column < kGridColumnCount; ++column) {
      if (mask & kGridColumns[column].updateBit) {
        m_rows[row].cells[column] = UpdatedCellText(record, column);
      }
    }
  }
}

void CSessionGridModel::DeleteAllRows() {
  m_rows.clear();
  m_rowsOf.clear();
}

void CSessionGridModel::SortByColumn(std::size_t column) {
  m_descending = m_sortColumn == column ? !m_descending : false;
  m_sortColumn = column;
  auto prefix = [column](const GridRow& row) {
    return std::u16string_view(row.cells[column]).substr(0, kSortPrefixLength);
  };
  std::stable_sort(m_rows.begin(), m_rows.end(), [&](const GridRow& a, const GridRow& b) {
    const int order = m_collator.Compare(prefix(a), prefix(b));
    return m_descending ? order > 0 : order < 0;
  });
  RebuildIndex();
}

void CSessionGridModel::RebuildIndex() {
  m_rowsOf.clear();
  for (std::size_t row = 0; row < m_rows.size(); ++row) m_rowsOf[m_rows[row].record].push_back(row);
}

void CSessionGridModel::SelectOnly(std::size_t row) {
  for (auto& each : m_rows) each.selected = false;
  m_rows.at(row).selected = true;
}

void CSessionGridModel::SelectAllRows() {
  for (auto& row : m_rows) row.selected = true;
}

void CSessionGridModel::InvertSelection() {
  for (auto& row : m_rows) row.selected = !row.selected;
}

std::optional<std::size_t> CSessionGridModel::LastSelectedRow() const {
  for (std::size_t row = m_rows.size(); row-- > 0;) {
    if (m_rows[row].selected) return row;
  }
  return std::nullopt;
}

}  // namespace tracewell
