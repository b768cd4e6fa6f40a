#pragma once
// What every report list of the window shares, the session grid and the lists of the
// detail tabs: whole-row multi-selection, grid lines, no row header, one text line
// per row at the font's height, cells drawn on one line (with the whole text as a
// tool tip where the list has label tips), and columns the user may drag into
// another order where the list allows it.

class QTableView;

namespace tracewell::app {

struct ReportListStyle {
  bool movableColumns;  // the user may drag column headers into another order
  bool labelTips;       // a cut-off cell shows its whole text as a tool tip
};

void SetUpReportList(QTableView& view, ReportListStyle style);

}  // namespace tracewell::app
