#pragma once
// The toolbar: one row of buttons, each with its text beside its icon; Start and
// Stop as a radio pair; Save and Filter as split buttons (the button runs the
// command, the arrow opens the menu); View, Tools and Help open their menus. Every
// command, from a button or a menu item, leaves as commandTriggered. After the
// buttons, the quick-filter box: its text leaves as quickFilterChanged once typing
// pauses, at once on Enter or when the box is emptied.

#include <QToolBar>
#include <map>

#include "views/filter.h"

class QActionGroup;
class QKeySequence;
class QLineEdit;
class QMenu;
class QTimer;
class QToolButton;

namespace tracewell::app {

class CMainToolbar final : public QToolBar {
  Q_OBJECT

 public:
  // A menu's items are enabled by the filter's state each time it opens.
  CMainToolbar(const FilterSettings& filter, QWidget* parent = nullptr);

  // Start checked while recording, Stop otherwise.
  void ShowRecording(bool recording);
  // Without a proxy neither button can do anything.
  void EnableRecording(bool enabled);
  // Shows the key of a command in its button's tooltip and beside its menu items.
  void ShowKey(int commandId, const QKeySequence& keys);
  // A key runs its command only while the command's button or menu item could.
  bool IsCommandEnabled(int commandId) const;

  QToolButton& Button(int commandId) const { return *m_buttons.at(commandId); }
  QMenu& Menu(int menuId) const { return *m_menus.at(menuId); }
  QLineEdit& QuickFilter() const { return *m_quickFilter; }

 signals:
  void commandTriggered(int commandId);
  void quickFilterChanged(const QString& text);

 private:
  QMenu& BuildMenu(int menuId);
  void BuildQuickFilter();
  void EmitQuickFilter();

  const FilterSettings& m_filter;
  QActionGroup* m_recordingGroup;
  std::map<int, QToolButton*> m_buttons;  // by command id
  std::map<int, QMenu*> m_menus;          // by menu id
  QLineEdit* m_quickFilter;
  QTimer* m_quickFilterDelay;
};

}  // namespace tracewell::app
