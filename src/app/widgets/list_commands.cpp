#include "widgets/list_commands.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QTableView>
#include <QTreeView>

#include "widgets/qt_text.h"

namespace tracewell::app {
namespace {

// The column under a point of the view's viewport, also below the last row.
int ColumnAt(const QAbstractItemView& view, const QPoint& position) {
  if (const auto* table = qobject_cast<const QTableView*>(&view)) {
    return table->horizontalHeader()->logicalIndexAt(position.x());
  }
  if (const auto* tree = qobject_cast<const QTreeView*>(&view)) {
    return tree->header()->logicalIndexAt(position.x());
  }
  return view.indexAt(position).column();
}

}  // namespace

CListCommands::CListCommands(QAbstractItemView& view, int listId, ISelectableList& list,
                             IClipboard& clipboard)
    : QObject(&view),
      m_view(view),
      m_listId(listId),
      m_list(list),
      m_clipboard(clipboard),
      m_menu(std::make_unique<QMenu>(&view)) {
  for (const MenuItem& item : kListMenuItems) {
    if (item.id == kSeparator) {
      m_menu->addSeparator();
      continue;
    }
    QAction* action = m_menu->addAction(ToQString(item.text));
    const int id = item.id;
    connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
  }
  m_view.setContextMenuPolicy(Qt::CustomContextMenu);
  connect(&m_view, &QWidget::customContextMenuRequested, this, &CListCommands::OnContextMenu);
  m_view.installEventFilter(this);
}

CListCommands::~CListCommands() = default;

void CListCommands::RunCommand(int commandId) {
  m_helper.OnCommand(commandId, &m_list, m_clipboard);
  const bool selectionCommand =
      commandId == command::kSelectAllRows || commandId == command::kInvertSelection;
  if (selectionCommand && m_selectionChanged) m_selectionChanged();
}

void CListCommands::OnContextMenu(const QPoint& position) {
  const QModelIndex index = m_view.indexAt(position);
  const int hitRow = index.isValid() ? index.row() : -1;
  const int hitColumn = ColumnAt(m_view, position);
  if (m_helper.OnRightClick(m_listId, hitRow, hitColumn, hitRow, m_list.RowCount())) {
    m_menu->popup(m_view.viewport()->mapToGlobal(position));
  }
}

bool CListCommands::eventFilter(QObject* watched, QEvent* event) {
  if (watched != &m_view || event->type() != QEvent::KeyPress) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  const bool ctrl = key->modifiers().testFlag(Qt::ControlModifier);
  const int code = key->key();
  if (code >= Qt::Key_A && code <= Qt::Key_Z) {
    const auto commandId =
        CListCtrlHelper::CommandForKey(m_listId, static_cast<char>('A' + (code - Qt::Key_A)), ctrl);
    if (commandId) {
      RunCommand(*commandId);
      return true;
    }
  }
  // The view's own select-all and copy (the current cell) would act on lists that do
  // not take part in the commands, and copy other text than the commands do.
  return key->matches(QKeySequence::SelectAll) || key->matches(QKeySequence::Copy);
}

}  // namespace tracewell::app
