#pragma once
// The commands every list of the window shares, bound to a Qt item view: the
// right-click menu (the four copy commands, Select All Rows, Invert Selection),
// Ctrl+A and Ctrl+C. The list's owner keeps the view's selection and the list's
// selection the same; after a selection command it is told to push the list's
// selection to the view.

#include <QObject>
#include <functional>
#include <memory>

#include "views/list_helper.h"

class QAbstractItemView;
class QMenu;
class QPoint;

namespace tracewell::app {

class CListCommands final : public QObject {
  Q_OBJECT

 public:
  CListCommands(QAbstractItemView& view, int listId, ISelectableList& list, IClipboard& clipboard);
  ~CListCommands() override;

  // Runs after Select All Rows or Invert Selection changed the list's selection.
  void SetSelectionChanged(std::function<void()> handler) { m_selectionChanged = std::move(handler); }

  // The right-click menu (open while the user chooses; tests trigger its actions).
  QMenu& Menu() { return *m_menu; }
  // One of the menu's commands, run on the list.
  void RunCommand(int commandId);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnContextMenu(const QPoint& position);

  QAbstractItemView& m_view;
  int m_listId;
  ISelectableList& m_list;
  IClipboard& m_clipboard;
  CListCtrlHelper m_helper;
  std::unique_ptr<QMenu> m_menu;
  std::function<void()> m_selectionChanged;
};

}  // namespace tracewell::app
