#include "window/session_grid_view.h"

#include <QHeaderView>
#include <QKeyEvent>

#include "widgets/list_commands.h"
#include "widgets/report_list.h"

namespace tracewell::app {

CSessionGridView::CSessionGridView(CMainWindowModel& window, CGridTableModel& rows,
                                   IClipboard& clipboard, QWidget* parent)
    : QTableView(parent), m_window(window) {
  setModel(&rows);
  // Header drag-and-drop and label tips, as the grid's list has them.
  SetUpReportList(*this, {.movableColumns = true, .labelTips = true});
  setSortingEnabled(false);  // sorting is the core's, by text
  QHeaderView* header = horizontalHeader();
  header->setSectionsClickable(true);
  header->setSortIndicatorShown(true);
  header->setSortIndicator(-1, Qt::AscendingOrder);
  ResetColumnWidths();

  connect(header, &QHeaderView::sectionClicked, this, &CSessionGridView::OnHeaderClicked);
  connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
    m_window.ActivateRow(static_cast<std::size_t>(index.row()));
    emit transactionShown();
  });
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &CSessionGridView::OnSelectionChanged);
  // A reset forgets the view's selection; the core's rows may still carry one.
  connect(&rows, &QAbstractItemModel::modelReset, this, &CSessionGridView::PushSelection);

  // The right-click menu, Ctrl+A and Ctrl+C; a child of the view.
  auto* listCommands = new CListCommands(*this, kGridListId, m_window.Grid(), clipboard);
  listCommands->SetSelectionChanged([this] { PushSelection(); });
}

void CSessionGridView::PushSelection() {
  const CSessionGridModel& grid = m_window.Grid();
  const int lastColumn = static_cast<int>(kGridColumnCount) - 1;
  QItemSelection selection;
  const int rows = model()->rowCount();
  for (int row = 0; row < rows;) {
    if (!grid.IsSelected(static_cast<std::size_t>(row))) {
      ++row;
      continue;
    }
    const int first = row;
    while (row < rows && grid.IsSelected(static_cast<std::size_t>(row))) ++row;
    selection.select(model()->index(first, 0), model()->index(row - 1, lastColumn));
  }
  selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void CSessionGridView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
    // Shown from the selection as it is before the view moves it.
    m_window.OnGridArrowKey(event->key() == Qt::Key_Down);
    emit transactionShown();
  }
  QTableView::keyPressEvent(event);
}

void CSessionGridView::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  ResetColumnWidths();  // every resize puts the columns back to their own widths
}

void CSessionGridView::OnHeaderClicked(int column) {
  CSessionGridModel& grid = m_window.Grid();
  grid.SortByColumn(static_cast<std::size_t>(column));
  horizontalHeader()->setSortIndicator(
      column, grid.SortDescending() ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void CSessionGridView::OnSelectionChanged(const QItemSelection& selected,
                                          const QItemSelection& deselected) {
  CSessionGridModel& grid = m_window.Grid();
  const auto mark = [&grid](const QItemSelection& ranges, bool on) {
    for (const QItemSelectionRange& range : ranges) {
      for (int row = range.top(); row <= range.bottom(); ++row) {
        if (static_cast<std::size_t>(row) < grid.RowCount()) {
          grid.SetSelected(static_cast<std::size_t>(row), on);
        }
      }
    }
  };
  mark(deselected, false);
  mark(selected, true);
}

void CSessionGridView::ResetColumnWidths() {
  for (std::size_t column = 0; column < kGridColumnCount; ++column) {
    setColumnWidth(static_cast<int>(column), kGridColumns[column].width);
  }
}

}  // namespace tracewell::app
