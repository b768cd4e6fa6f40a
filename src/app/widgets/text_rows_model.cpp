#include "widgets/text_rows_model.h"

#include "widgets/qt_text.h"

namespace tracewell::app {

CTextRowsModel::CTextRowsModel(std::span<const DetailColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), m_columns(columns) {}

void CTextRowsModel::SetRows(const TextRows& rows) {
  beginResetModel();
  m_rows = rows;
  endResetModel();
}

int CTextRowsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CTextRowsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant CTextRowsModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid()) return {};
  const TextRow& row = m_rows.at(static_cast<std::size_t>(index.row()));
  const auto column = static_cast<std::size_t>(index.column());
  return column < row.size() ? ToQString(row[column]) : QString();
}

QVariant CTextRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  if (section < 0 || static_cast<std::size_t>(section) >= m_columns.size()) return {};
  return ToQString(m_columns[static_cast<std::size_t>(section)].title);
}

}  // namespace tracewell::app
