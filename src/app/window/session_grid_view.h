#pragma once
// The upper pane: the session grid as a report list. A click on a row and the row
// keys show a record through the window's model; a header click sorts; the selection
// is the same in the view and in the core's grid at all times. While its last row is
// in view or selected, the grid follows the rows that arrive; while it has no rows, it
// says what to do to record some.

#include <QTableView>

#include "views/main_window_model.h"
#include "window/grid_table_model.h"

namespace tracewell::app {

class CSessionGridView final : public QTableView {
  Q_OBJECT

 public:
  CSessionGridView(CMainWindowModel& window, CGridTableModel& rows, IClipboard& clipboard,
                   QWidget* parent = nullptr);

  // The core's selection becomes the view's (after a selection command or a find).
  void PushSelection();

  // Painted over the viewport while there are no rows; empty for none.
  void SetEmptyHint(const QString& hint);
  const QString& EmptyHint() const { return m_emptyHint; }

 signals:
  // A record went to the detail tabs.
  void transactionShown();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

 private:
  // PageUp, PageDown, Home and End (also with Ctrl) select the row they move to.
  void MoveByRowKey(QKeyEvent& event);
  bool IsLastRowInView() const;
  void OnRowsAboutToBeInserted();
  void OnRowsInserted();
  // The header's arrow names the sort column only while the rows stand in its order.
  void ShowSortOrder();
  void OnHeaderClicked(int column);
  void OnSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
  void ResetColumnWidths();

  CMainWindowModel& m_window;
  QString m_emptyHint;
  bool m_following = false;  // decided before each insert
};

}  // namespace tracewell::app
