#include "widgets/detail_list.h"

#include <QHeaderView>

#include "widgets/list_commands.h"

namespace tracewell::app {

CDetailList::CDetailList(const DetailList& layout, ReportListStyle style, IClipboard& clipboard,
                         QWidget* parent)
    : QTableView(parent),
      m_listId(layout.id),
      m_model(layout.columns, nullptr),
      m_rows(*this, m_model) {
  setModel(&m_model);
  SetUpReportList(*this, style);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
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
