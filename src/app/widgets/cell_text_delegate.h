#pragma once
// How a detail list draws a cell: on one line (line breaks inside a value, as in a
// cache entry's header info, show as two spaces), and, where the list has label
// tips, the whole text as a tool tip when the cell cuts it off.

#include <QStyledItemDelegate>

namespace tracewell::app {

class CCellTextDelegate final : public QStyledItemDelegate {
  Q_OBJECT

 public:
  CCellTextDelegate(bool labelTips, QObject* parent)
      : QStyledItemDelegate(parent), m_labelTips(labelTips) {}

  QString displayText(const QVariant& value, const QLocale& locale) const override;
  bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                 const QModelIndex& index) override;

 private:
  bool m_labelTips;
};

}  // namespace tracewell::app
