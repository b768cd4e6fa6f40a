#include "widgets/cell_text_delegate.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QRegularExpression>
#include <QToolTip>

namespace tracewell::app {

QString CCellTextDelegate::displayText(const QVariant& value, const QLocale& locale) const {
  // Qt's own text has already turned each LF into a line separator.
  static const QRegularExpression lineBreaks(QStringLiteral("[\\r\\n\\x{2028}]+"));
  return QStyledItemDelegate::displayText(value, locale).replace(lineBreaks, QStringLiteral("  "));
}

bool CCellTextDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                  const QStyleOptionViewItem& option, const QModelIndex& index) {
  if (event->type() != QEvent::ToolTip) {
    return QStyledItemDelegate::helpEvent(event, view, option, index);
  }
  const QString text = index.data(Qt::DisplayRole).toString();
  const bool cutOff = text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')) ||
                      sizeHint(option, index).width() > option.rect.width();
  if (m_labelTips && cutOff) {
    QToolTip::showText(event->globalPos(), text, view);
  } else {
    QToolTip::hideText();
  }
  return true;
}

}  // namespace tracewell::app
