#pragma once
// One list of a detail tab: a report-style table over its rows with grid lines,
// whole-row multi-selection, no word wrap, the columns of its layout, and the copy
// and selection commands (which act only on lists whose id takes part).

#include <QTableView>
#include <initializer_list>

#include "views/detail_lists.h"
#include "views/list_copy.h"
#include "widgets/report_list.h"
#include "widgets/text_rows_model.h"
#include "widgets/view_rows_list.h"

namespace tracewell::app {

class CDetailList final : public QTableView {
  Q_OBJECT

 public:
  CDetailList(const DetailList& layout, ReportListStyle style, IClipboard& clipboard,
              QWidget* parent);

  int ListId() const { return m_listId; }
  void ShowRows(const TextRows& rows);
  void SetColumnWidths(std::initializer_list<int> widths);

 private:
  int m_listId;
  CTextRowsModel m_model;
  CViewRowsList m_rows;
};

}  // namespace tracewell::app
