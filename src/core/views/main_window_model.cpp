#include "views/main_window_model.h"

#include "views/main_commands.h"

namespace tracewell {

void CDetailViews::ShowTransaction(const CHttpTransaction& record) {
  header.FillHeaderView(&record);
  postData.FillPostDataView(record);
  query.FillQueryView(record);
  cacheInfo.ShowCacheInfo(record);
  cookies.ClearCookieViews();
  cookies.FillRequestCookies(record);
  cookies.FillResponseCookies(record);
  bodies = RecordBodiesOf(record);
}

void CDetailViews::Clear() {
  header.ClearHeaderView();
  cacheInfo.ClearCacheInfo();
  cookies.ClearCookieViews();
  query.ClearQueryView();
  postData.ClearPostDataView();
  bodies.reset();
}

CMainWindowModel::CMainWindowModel(const ICollator& collator, const IClock& clock)
    : m_grid(collator), m_details(clock) {}

void CMainWindowModel::OnTransactionStarted(std::unique_ptr<CHttpTransaction> record) {
  if (!m_filter.m_bFilterOn && m_quickFilter.Passes(*record)) m_grid.AddTransactionRow(*record);
  m_arrTransactions.push_back(std::move(record));
  m_unsaved = true;
}

void CMainWindowModel::OnTransactionUpdated(CHttpTransaction& record, std::uint32_t mask) {
  if (!m_filter.m_bFilterOn) m_grid.UpdateTransactionRow(record, mask);
  if (!(mask & kMaskFinished)) return;
  if (m_filter.m_bFilterOn) ClassifyTransaction(m_filter, record);
  // A finished record is judged again: its result and type are known only now.
  if (m_filter.m_bFilterOn || m_quickFilter.IsActive()) AddRowIfPasses(record);
}

bool CMainWindowModel::PassesFilters(const CHttpTransaction& record) const {
  return tracewell::PassesFilters(m_filter, m_quickFilter, record);
}

void CMainWindowModel::AddRowIfPasses(CHttpTransaction& record) {
  // A record that passed at a rebuild (or at its start) while still running keeps its one row.
  if (record.m_bCleared == 0 && !m_grid.HasRow(record) && PassesFilters(record)) {
    m_grid.AddTransactionRow(record);
  }
}

void CMainWindowModel::RebuildGrid() {
  ClearViews();
  if (m_filter.m_bFilterOn) ReclassifyAll(m_filter, m_arrTransactions);
  for (const auto& record : m_arrTransactions) {
    if (record->m_bCleared == 0 && PassesFilters(*record)) m_grid.AddTransactionRow(*record);
  }
}

void CMainWindowModel::ClearViews() {
  m_grid.DeleteAllRows();
  m_details.Clear();
}

void CMainWindowModel::Clear() {
  for (std::size_t row = 0; row < m_grid.RowCount(); ++row) {
    CHttpTransaction& record = *m_grid.RowRecord(row);
    if (record.m_bCleared == 0) ++m_clearedCount;  // a record may have several rows
    record.m_bCleared = 1;
  }
  ClearViews();
}

void CMainWindowModel::ReplaceSession(TransactionArray records) {
  m_receiver.ForgetRecords();
  ClearViews();
  m_arrTransactions = std::move(records);
  m_clearedCount = 0;
  m_unsaved = false;
  for (const auto& record : m_arrTransactions) {
    if (m_quickFilter.Passes(*record)) m_grid.AddTransactionRow(*record);
  }
}

void CMainWindowModel::ActivateRow(std::size_t row) {
  if (row < m_grid.RowCount()) ShowTransaction(m_grid.RowRecord(row));
}

void CMainWindowModel::OnGridArrowKey(bool down) {
  const auto selected = m_grid.LastSelectedRow();
  if (!selected) {
    if (down) ActivateRow(0);
    return;
  }
  if (down) {
    ActivateRow(*selected + 1);
  } else if (*selected > 0) {
    ActivateRow(*selected - 1);
  }
}

void CMainWindowModel::ShowTransaction(const CHttpTransaction* record) {
  if (record) m_details.ShowTransaction(*record);
}

void CMainWindowModel::TurnOnFilter() {
  m_filter.m_bFilterOn = true;
  RebuildGrid();
}

void CMainWindowModel::TurnOffFilter() {
  m_filter.m_bFilterOn = false;
  RebuildGrid();
}

void CMainWindowModel::OnFilterDialogClosed(bool ok) {
  if (ok) RebuildGrid();
}

void CMainWindowModel::SetQuickFilter(std::u16string_view text) {
  if (text == m_quickFilterText) return;
  m_quickFilterText = text;
  m_quickFilter = CQuickFilter(text);
  RebuildGrid();
}

void CMainWindowModel::SetPanelShown(bool shown) {
  m_panelShown = shown;
  UpdateGridVisibility();
}

void CMainWindowModel::SetViewMode(ViewMode mode) {
  m_viewMode = mode;
  UpdateGridVisibility();
}

void CMainWindowModel::UpdateGridVisibility() {
  m_grid.SetVisible(m_panelShown && m_viewMode != ViewMode::kViewOnly);
}

bool CMainWindowModel::OnCommand(int commandId) {
  switch (commandId) {
    case command::kClear: Clear(); return true;
    case command::kTurnOnFilter: TurnOnFilter(); return true;
    case command::kTurnOffFilter: TurnOffFilter(); return true;
    case command::kMaximizeGrid: MaximizeSessionGrid(); return true;
    case command::kMaximizeView: MaximizeSessionView(); return true;
    case command::kRestoreWindows: RestoreWindows(); return true;
    default: return false;
  }
}

}  // namespace tracewell
