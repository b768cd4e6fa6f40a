#include "widgets/detail_list.h"

#include <QHeaderView>

#include "widgets/cell_text_delegate.h"
#include "widgets/list_commands.h"

namespace tracewell::app {

CDetailList::CDetailList(const DetailList& layout, DetailListStyle style, IClipboard& clipboard,
                         QWidget* parent)
    : QTableView(parent),
      m_listId(layout.id),
      m_model(layout.columns, nullptr),
      m_rows(*this, m_model) {
  setModel(&m_model);
  setItemDelegate(new CCellTextDelegate(style.labelTips, this));
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setShowGrid(true);
  setWordWrap(false);
  setCornerButtonEnabled(false);
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setStretchLastSection(false);
  horizontalHeader()->setSectionsMovable(style.movableColumns);
  for (std::size_t column = 0; column < layout.columns.size(); ++column) {
    setColumnWidth(static_cast<int>(column), layout.columns[column].width);
  }
  new CListCommands(*this, layout.id, m_rows, clipboard);  // owned by this view
}

void CDetailList::ShowRows(const TextRows& rows) { m_model.SetRows(rows); }

void CDetailList::SetColumnWidths(std::initializer_list<int> widths) {
  int column = 0;
  for (const int width : widths) setColumnWidth(column++, width);
}

}  // namespace tracewell::app
