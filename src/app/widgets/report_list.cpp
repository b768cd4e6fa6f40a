#include "widgets/report_list.h"

#include <QHeaderView>
#include <QTableView>

#include "widgets/cell_text_delegate.h"

namespace tracewell::app {

void SetUpReportList(QTableView& view, ReportListStyle style) {
  view.setItemDelegate(new CCellTextDelegate(style.labelTips, &view));
  view.setSelectionBehavior(QAbstractItemView::SelectRows);
  view.setSelectionMode(QAbstractItemView::ExtendedSelection);
  view.setEditTriggers(QAbstractItemView::NoEditTriggers);
  view.setShowGrid(true);
  view.setWordWrap(false);
  view.setCornerButtonEnabled(false);
  view.verticalHeader()->hide();
  view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view.verticalHeader()->setDefaultSectionSize(view.fontMetrics().height() + 4);
  view.horizontalHeader()->setHighlightSections(false);
  view.horizontalHeader()->setStretchLastSection(false);
  view.horizontalHeader()->setSectionsMovable(style.movableColumns);
}

}  // namespace tracewell::app
