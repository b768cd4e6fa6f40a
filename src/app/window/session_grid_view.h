#pragma once
// The upper pane: the session grid as a report list. A click on a row and Up/Down
// show a record through the window's model; a header click sorts; the selection is
// the same in the view and in the core's grid at all times.

#include <QTableView>

#include "views/main_window.h"
#include "window/grid_table_model.h"

namespace tracewell::app {

class CSessionGridView final : public QTableView {
  Q_OBJECT

 public:
  CSessionGridView(CMainWindowModel& window, CGridTableModel& rows, IClipboard& clipboard,
                   QWidget* parent = nullptr);

  // The core's selection becomes the view's (after a selection command or a find).
  void PushSelection();

 signals:
  // A record went to the detail tabs.
  void transactionShown();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void OnHeaderClicked(int column);
  void OnSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
  void ResetColumnWidths();

  CMainWindowModel& m_window;
};

}  // namespace tracewell::app
