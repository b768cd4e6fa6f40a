#include "window/session_grid_view.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>

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
  connect(&rows, &QAbstractItemModel::rowsAboutToBeInserted, this,
          &CSessionGridView::OnRowsAboutToBeInserted);
  connect(&rows, &QAbstractItemModel::rowsInserted, this, &CSessionGridView::OnRowsInserted);
  // Rows appended, cells rewritten and rebuilds can each leave the sort order.
  connect(&rows, &QAbstractItemModel::rowsInserted, this, &CSessionGridView::ShowSortOrder);
  connect(&rows, &QAbstractItemModel::dataChanged, this, &CSessionGridView::ShowSortOrder);
  connect(&rows, &QAbstractItemModel::modelReset, this, &CSessionGridView::ShowSortOrder);
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

void CSessionGridView::SetEmptyHint(const QString& hint) {
  m_emptyHint = hint;
  viewport()->update();
}

void CSessionGridView::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
      // Shown from the selection as it is before the view moves it.
      m_window.OnGridArrowKey(event->key() == Qt::Key_Down);
      emit transactionShown();
      break;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
      MoveByRowKey(*event);
      return;
    default:
      break;
  }
  QTableView::keyPressEvent(event);
}

void CSessionGridView::MoveByRowKey(QKeyEvent& event) {
  // Without Ctrl: with it the view would move only the focus and leave the selection.
  QKeyEvent withoutCtrl(event.type(), event.key(), event.modifiers() & ~Qt::ControlModifier,
                        event.text(), event.isAutoRepeat(), static_cast<quint16>(event.count()));
  QTableView::keyPressEvent(&withoutCtrl);
  event.setAccepted(withoutCtrl.isAccepted());
  // Shown from where the view moved to.
  const QModelIndex current = currentIndex();
  if (!current.isValid()) return;
  m_window.ActivateRow(static_cast<std::size_t>(current.row()));
  emit transactionShown();
}

QModelIndex CSessionGridView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
  // Home and End go to the first and the last row, not to the row's first and last cell:
  // a user moves through the grid by rows.
  if (action != MoveHome && action != MoveEnd) return QTableView::moveCursor(action, modifiers);
  const int rows = model()->rowCount();
  if (rows == 0) return {};
  const QModelIndex current = currentIndex();
  return model()->index(action == MoveHome ? 0 : rows - 1, current.isValid() ? current.column() : 0);
}

void CSessionGridView::paintEvent(QPaintEvent* event) {
  QTableView::paintEvent(event);
  if (model()->rowCount() > 0 || m_emptyHint.isEmpty()) return;
  constexpr int kMargin = 16;
  QPainter painter(viewport());
  painter.setPen(palette().color(QPalette::PlaceholderText));
  painter.drawText(viewport()->rect().adjusted(kMargin, kMargin, -kMargin, -kMargin),
                   Qt::AlignCenter | Qt::TextWordWrap, m_emptyHint);
}

bool CSessionGridView::IsLastRowInView() const {
  const int rows = model()->rowCount();
  if (rows == 0) return true;
  const int top = rowViewportPosition(rows - 1);
  return top < viewport()->height() && top + rowHeight(rows - 1) > 0;
}

void CSessionGridView::OnRowsAboutToBeInserted() {
  // A user who scrolled up to read stays where they are; one at the end keeps up.
  const auto shownRows = static_cast<std::size_t>(model()->rowCount());
  m_following =
      IsLastRowInView() || (shownRows > 0 && m_window.Grid().IsSelected(shownRows - 1));
}

void CSessionGridView::OnRowsInserted() {
  if (m_following) scrollToBottom();
  viewport()->update();  // the hint goes with the first row
}

void CSessionGridView::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  ResetColumnWidths();  // every resize puts the columns back to their own widths
}

void CSessionGridView::ShowSortOrder() {
  const CSessionGridModel& grid = m_window.Grid();
  const int column = grid.InSortOrder() ? static_cast<int>(*grid.SortColumn()) : -1;
  horizontalHeader()->setSortIndicator(
      column, grid.SortDescending() ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void CSessionGridView::OnHeaderClicked(int column) {
  m_window.Grid().SortByColumn(static_cast<std::size_t>(column));
  ShowSortOrder();
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
