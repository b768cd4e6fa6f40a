#pragma once
// What a user does to a list in the tests: right clicks, menu choices, keys, and the
// clipboard as the copy commands' bytes.

#include <QAbstractItemView>
#include <QMenu>
#include <QPoint>
#include <functional>
#include <string>

#include "views/text_rows.h"

namespace tracewell::app::interaction {

QPoint CellCenter(const QAbstractItemView& view, int row, int column);
// A point of the viewport below the last row, in the given column.
QPoint BelowLastRow(const QAbstractItemView& view, int column);

// A right click on the viewport (press, release, context menu as the platform sends
// them); the menu it opened, or nullptr.
QMenu* RightClick(QAbstractItemView& view, QPoint position);
// Clicks the item with this text; fails the test when there is none.
void Choose(QMenu& menu, const QString& text);
// Clicks the check box of a checkable item, where the style draws it.
void ClickCheckBoxOf(QAbstractItemView& view, const QModelIndex& index);
void LeftClick(QAbstractItemView& view, QPoint position, Qt::KeyboardModifiers modifiers = {});

// Every cell the view's model shows, row by row.
TextRows ShownRows(const QAbstractItemView& view);

// The rows the view shows selected, in ascending order.
QList<int> SelectedRows(const QAbstractItemView& view);

// The clipboard's text in the program's narrow code page (what the copy commands
// handed over); a marker text to tell "unchanged" from "emptied".
std::string ClipboardBytes();
void PutMarkerOnClipboard();
inline constexpr const char* kClipboardMarker = "marker";

// Runs `answer` on the modal dialog once the event loop of exec() runs; a dialog
// that `answer` left open is rejected, so no test hangs on it.
void AnswerModal(std::function<void(QWidget&)> answer);

// The dialog's control of this type that shows `text`; the test ends when there is none.
template <typename Widget>
Widget& ControlWithText(QWidget& dialog, const QString& text) {
  for (Widget* widget : dialog.findChildren<Widget*>()) {
    if (widget->text() == text) return *widget;
  }
  qFatal("no control \"%s\"", qPrintable(text));
}

}  // namespace tracewell::app::interaction
