#include "list_interaction.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDialog>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTimer>
#include <QItemSelectionModel>
#include <QTest>

#include "text/code_page.h"
#include "widgets/qt_text.h"

namespace tracewell::app::interaction {

QPoint CellCenter(const QAbstractItemView& view, int row, int column) {
  return view.visualRect(view.model()->index(row, column)).center();
}

QPoint BelowLastRow(const QAbstractItemView& view, int column) {
  const int rows = view.model()->rowCount();
  const QRect last = view.visualRect(view.model()->index(rows - 1, column));
  return {last.center().x(), last.bottom() + last.height()};
}

QMenu* RightClick(QAbstractItemView& view, QPoint position) {
  QWidget* viewport = view.viewport();
  QTest::mousePress(viewport, Qt::RightButton, {}, position);
  QTest::mouseRelease(viewport, Qt::RightButton, {}, position);
  QContextMenuEvent event(QContextMenuEvent::Mouse, position, viewport->mapToGlobal(position));
  QApplication::sendEvent(viewport, &event);
  return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

void Choose(QMenu& menu, const QString& text) {
  for (QAction* action : menu.actions()) {
    if (action->text() != text) continue;
    QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(action).center());
    return;
  }
  QFAIL(qPrintable(QStringLiteral("no menu item \"%1\"").arg(text)));
}

void ClickCheckBoxOf(QAbstractItemView& view, const QModelIndex& index) {
  QStyleOptionViewItem option;
  option.initFrom(view.viewport());
  option.rect = view.visualRect(index);
  option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
  option.text = index.data().toString();
  const QRect box = view.style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, &view);
  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, box.center());
}

void LeftClick(QAbstractItemView& view, QPoint position, Qt::KeyboardModifiers modifiers) {
  QTest::mouseClick(view.viewport(), Qt::LeftButton, modifiers, position);
}

TextRows ShownRows(const QAbstractItemView& view) {
  const QAbstractItemModel& model = *view.model();
  TextRows rows;
  for (int row = 0; row < model.rowCount(); ++row) {
    TextRow cells;
    for (int column = 0; column < model.columnCount(); ++column) {
      cells.push_back(FromQString(model.index(row, column).data().toString()));
    }
    rows.push_back(cells);
  }
  return rows;
}

QList<int> SelectedRows(const QAbstractItemView& view) {
  QList<int> rows;
  for (const QModelIndex& index : view.selectionModel()->selectedRows()) rows.append(index.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

std::string ClipboardBytes() {
  return ToCodePage(FromQString(QGuiApplication::clipboard()->text()));
}

void AnswerModal(std::function<void(QWidget&)> answer) {
  QTimer::singleShot(0, [answer = std::move(answer)] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return;
    answer(*modal);
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) dialog->reject();
  });
}

void PutMarkerOnClipboard() { QGuiApplication::clipboard()->setText(QString::fromLatin1(kClipboardMarker)); }

}  // namespace tracewell::app::interaction
