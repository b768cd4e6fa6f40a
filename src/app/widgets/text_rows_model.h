#pragma once
// A detail list's rows for a Qt view: a copy of the core's text rows under fixed
// column titles. Read-only; every refill resets the view.

#include <QAbstractTableModel>
#include <span>

#include "views/detail_lists.h"
#include "views/text_rows.h"

namespace tracewell::app {

class CTextRowsModel final : public QAbstractTableModel {
  Q_OBJECT

 public:
  CTextRowsModel(std::span<const DetailColumn> columns, QObject* parent);

  void SetRows(const TextRows& rows);
  const TextRows& Rows() const { return m_rows; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::span<const DetailColumn> m_columns;
  TextRows m_rows;
};

}  // namespace tracewell::app
