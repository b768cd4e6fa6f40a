#include "window/main_toolbar.h"

#include <QActionGroup>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QToolButton>

#include "views/main_commands.h"
#include "widgets/qt_text.h"
#include "widgets/toolbar_icons.h"

namespace tracewell::app {

CMainToolbar::CMainToolbar(const FilterSettings& filter, QWidget* parent)
    : QToolBar(parent),
      m_filter(filter),
      m_recordingGroup(new QActionGroup(this)),
      m_quickFilter(new QLineEdit(this)),
      m_quickFilterDelay(new QTimer(this)) {
  setMovable(false);
  setFloatable(false);
  setIconSize(QSize(kToolbarIconSize, kToolbarIconSize));
  setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  for (const ToolbarButton& entry : kToolbarButtons) {
    if (entry.separatorBefore) addSeparator();
    auto* action = new QAction(ToolbarIcon(entry.id), ToQString(entry.text), this);
    action->setData(entry.id);
    auto* button = new QToolButton(this);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setDefaultAction(action);
    switch (entry.kind) {
      case ButtonKind::kCheck:
        action->setCheckable(true);
        action->setChecked(entry.id == command::kStop);
        m_recordingGroup->addAction(action);
        break;
      case ButtonKind::kPlain:
        break;
      case ButtonKind::kSplit:
        button->setMenu(&BuildMenu(entry.menuId));
        button->setPopupMode(QToolButton::MenuButtonPopup);
        break;
      case ButtonKind::kWholeDropDown:
        button->setMenu(&BuildMenu(entry.menuId));
        button->setPopupMode(QToolButton::InstantPopup);
        break;
    }
    if (entry.kind != ButtonKind::kWholeDropDown) {
      const int id = entry.id;
      connect(action, &QAction::triggered, this, [this, id] { emit commandTriggered(id); });
    }
    addWidget(button);
    m_buttons.emplace(entry.id, button);
  }
  BuildQuickFilter();
}

void CMainToolbar::ShowRecording(bool recording) {
  Button(recording ? command::kStart : command::kStop).defaultAction()->setChecked(true);
}

void CMainToolbar::EnableRecording(bool enabled) { m_recordingGroup->setEnabled(enabled); }

void CMainToolbar::ShowKey(int commandId, const QKeySequence& keys) {
  if (const auto button = m_buttons.find(commandId); button != m_buttons.end()) {
    QAction& action = *button->second->defaultAction();
    action.setToolTip(action.text() + QStringLiteral(" (") +
                      keys.toString(QKeySequence::NativeText) + u')');
  }
  for (const auto& [menuId, menu] : m_menus) {
    for (QAction* item : menu->actions()) {
      if (item->isSeparator() || item->data().toInt() != commandId) continue;
      // The window's own shortcut runs the command; the item's acts only while its
      // menu is open, so the two never compete for the key.
      item->setShortcut(keys);
      item->setShortcutContext(Qt::WidgetShortcut);
    }
  }
}

bool CMainToolbar::IsCommandEnabled(int commandId) const {
  if (const auto button = m_buttons.find(commandId); button != m_buttons.end()) {
    return button->second->defaultAction()->isEnabled();
  }
  return IsMenuItemEnabled(commandId, m_filter.m_bFilterOn);
}

void CMainToolbar::BuildQuickFilter() {
  constexpr int kQuickFilterWidth = 320;
  // How long typing must pause before the grid follows the box.
  constexpr int kQuickFilterDelayMs = 150;
  addSeparator();
  m_quickFilter->setObjectName("quickFilter");
  m_quickFilter->setPlaceholderText(
      QStringLiteral("Quick filter (URL, or method:, status:, type:, host:)"));
  m_quickFilter->setClearButtonEnabled(true);
  m_quickFilter->setFixedWidth(kQuickFilterWidth);
  addWidget(m_quickFilter);
  // Each key would rebuild a large grid; the rebuild waits until typing pauses.
  m_quickFilterDelay->setSingleShot(true);
  m_quickFilterDelay->setInterval(kQuickFilterDelayMs);
  connect(m_quickFilterDelay, &QTimer::timeout, this, &CMainToolbar::EmitQuickFilter);
  connect(m_quickFilter, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (text.isEmpty()) {
      EmitQuickFilter();  // emptied (the clear button): every row back at once
    } else {
      m_quickFilterDelay->start();
    }
  });
  connect(m_quickFilter, &QLineEdit::returnPressed, this, &CMainToolbar::EmitQuickFilter);
}

void CMainToolbar::EmitQuickFilter() {
  m_quickFilterDelay->stop();
  emit quickFilterChanged(m_quickFilter->text());
}

QMenu& CMainToolbar::BuildMenu(int menuId) {
  const DropDownMenu& entry = *FindMenu(menuId);
  auto* menu = new QMenu(ToQString(entry.name), this);
  for (const MenuItem& item : entry.items) {
    if (item.id == kSeparator) {
      menu->addSeparator();
      continue;
    }
    QAction* action = menu->addAction(ToQString(item.text));
    action->setData(item.id);
    const int id = item.id;
    connect(action, &QAction::triggered, this, [this, id] { emit commandTriggered(id); });
  }
  connect(menu, &QMenu::aboutToShow, this, [this, menu] {
    for (QAction* action : menu->actions()) {
      if (!action->isSeparator()) {
        action->setEnabled(IsMenuItemEnabled(action->data().toInt(), m_filter.m_bFilterOn));
      }
    }
  });
  m_menus.emplace(menuId, menu);
  return *menu;
}

}  // namespace tracewell::app
