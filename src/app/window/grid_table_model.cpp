#include "window/grid_table_model.h"

#include <algorithm>
#include <vector>

#include "widgets/qt_text.h"

namespace tracewell::app {

CGridTableModel::CGridTableModel(CSessionGridModel& grid, QObject* parent)
    : QAbstractTableModel(parent), m_grid(grid), m_shownRows(static_cast<int>(grid.RowCount())) {
  m_grid.SetListener(this);
}

CGridTableModel::~CGridTableModel() { m_grid.SetListener(nullptr); }

int CGridTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : m_shownRows;
}

int CGridTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(kGridColumnCount);
}

QVariant CGridTableModel::data(const QModelIndex& index, int role) const {
  const auto row = static_cast<std::size_t>(index.row());
  const auto column = static_cast<std::size_t>(index.column());
  if (!index.isValid() || row >= m_grid.RowCount() || column >= kGridColumnCount) return {};
  switch (role) {
    case Qt::DisplayRole:
      return ToQString(m_grid.Row(row)[column]);
    case Qt::TextAlignmentRole:
      return headerData(index.column(), Qt::Horizontal, role);
    default:
      return {};
  }
}

QVariant CGridTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 ||
      section >= static_cast<int>(kGridColumnCount)) {
    return {};
  }
  const GridColumnInfo& column = kGridColumns[static_cast<std::size_t>(section)];
  switch (role) {
    case Qt::DisplayRole:
      return ToQString(column.header);
    case Qt::TextAlignmentRole: {
      const Qt::Alignment side =
          column.alignment == ColumnAlignment::kRight ? Qt::AlignRight : Qt::AlignLeft;
      return QVariant::fromValue(side | Qt::AlignVCenter);
    }
    default:
      return {};
  }
}

void CGridTableModel::OnRowAppended(std::size_t) { FlushUnlessBatched(); }

void CGridTableModel::OnCellsChanged(std::size_t row, std::size_t firstColumn,
                                     std::size_t lastColumn) {
  const int shownRow = static_cast<int>(row);
  // Rows the views do not know yet are read whole when they are inserted.
  if (!m_resetPending && shownRow < m_shownRows) {
    const auto [it, added] = m_changedColumns.try_emplace(
        shownRow, static_cast<int>(firstColumn), static_cast<int>(lastColumn));
    if (!added) {
      it->second.first = std::min(it->second.first, static_cast<int>(firstColumn));
      it->second.second = std::max(it->second.second, static_cast<int>(lastColumn));
    }
  }
  FlushUnlessBatched();
}

void CGridTableModel::OnAllRowsDeleted() {
  m_resetPending = true;
  m_changedColumns.clear();
  FlushUnlessBatched();
}

void CGridTableModel::OnRowsSorting() {
  Flush();  // the views know every row and cell before the order changes
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
}

void CGridTableModel::OnRowsSorted(std::span<const std::size_t> oldPositions) {
  std::vector<int> newPositionOf(oldPositions.size());
  for (std::size_t position = 0; position < oldPositions.size(); ++position) {
    newPositionOf[oldPositions[position]] = static_cast<int>(position);
  }
  const QModelIndexList before = persistentIndexList();
  QModelIndexList after;
  after.reserve(before.size());
  for (const QModelIndex& index : before) {
    after.push_back(this->index(newPositionOf[static_cast<std::size_t>(index.row())], index.column()));
  }
  changePersistentIndexList(before, after);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void CGridTableModel::FlushUnlessBatched() {
  if (m_batchDepth == 0) Flush();
}

void CGridTableModel::Flush() {
  const int rows = static_cast<int>(m_grid.RowCount());
  if (m_resetPending) {
    beginResetModel();
    m_resetPending = false;
    m_shownRows = rows;
    endResetModel();
    return;
  }
  const auto changed = std::exchange(m_changedColumns, {});
  for (const auto& [row, columns] : changed) {
    emit dataChanged(index(row, columns.first), index(row, columns.second),
                     {Qt::DisplayRole});
  }
  if (rows > m_shownRows) {
    beginInsertRows({}, m_shownRows, rows - 1);
    m_shownRows = rows;
    endInsertRows();
  }
}

}  // namespace tracewell::app
