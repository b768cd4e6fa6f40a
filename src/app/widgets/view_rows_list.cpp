#include "widgets/view_rows_list.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>

namespace tracewell::app {
namespace {

QItemSelection AllRows(const QAbstractItemModel& model) {
  if (model.rowCount() == 0 || model.columnCount() == 0) return {};
  return QItemSelection(model.index(0, 0),
                        model.index(model.rowCount() - 1, model.columnCount() - 1));
}

}  // namespace

std::size_t CViewRowsList::ColumnCount() const {
  return static_cast<std::size_t>(m_model.columnCount());
}

bool CViewRowsList::IsSelected(std::size_t row) const {
  return m_view.selectionModel()->isRowSelected(static_cast<int>(row), {});
}

void CViewRowsList::SelectAllRows() {
  m_view.selectionModel()->select(AllRows(m_model),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void CViewRowsList::InvertSelection() {
  m_view.selectionModel()->select(AllRows(m_model),
                                  QItemSelectionModel::Toggle | QItemSelectionModel::Rows);
}

}  // namespace tracewell::app
