#pragma once
// The main window as a model: it owns the session list, the grid, the five detail
// tabs that show one record, the filter settings and the view mode, and receives the
// capture messages. The desktop window binds widgets to it.

#include <cstdint>
#include <memory>

#include "capture/capture_receiver.h"
#include "http_text/record_bodies.h"
#include "record/clock.h"
#include "views/cache_info_view.h"
#include "views/cookie_view.h"
#include "views/filter.h"
#include "views/header_view.h"
#include "views/parameter_views.h"
#include "views/quick_filter.h"
#include "views/session_grid.h"

namespace tracewell {

// The detail tabs that show one record ("Content" is not among them).
struct CDetailViews {
  explicit CDetailViews(const IClock& clock) : cacheInfo(clock) {}

  // Fills Header, Post Data, Query String, Cache Info and Cookies, in that order, and
  // takes what the Body tab needs.
  void ShowTransaction(const CHttpTransaction& record);
  void Clear();

  CHeaderViewModel header;
  CCookieViewModel cookies;
  CCacheInfoViewModel cacheInfo;
  CQueryViewModel query;
  CPostDataViewModel postData;
  std::optional<RecordBodies> bodies;  // none while no record is shown
};

// Which panes of the split are shown.
enum class ViewMode { kBoth, kGridOnly, kViewOnly };

class CMainWindowModel final : public ITransactionHandler {
 public:
  CMainWindowModel(const ICollator& collator, const IClock& clock);

  // A capture message, in the order the capture side sent them.
  void Deliver(CaptureMessage message) { m_receiver.Deliver(std::move(message)); }
  void OnTransactionStarted(std::unique_ptr<CHttpTransaction> record) override;
  void OnTransactionUpdated(CHttpTransaction& record, std::uint32_t mask) override;

  // Rows again from the session list: every record not cleared that the filter
  // (when on) and the quick filter let through, numbered from 0.
  void RebuildGrid();
  // Empties the grid and the detail tabs.
  void ClearViews();
  // Marks the records that have rows as cleared, then empties the views.
  void Clear();
  // A loaded log file becomes the session; messages for the old records are dropped.
  // Every record the quick filter lets through gets a row; the filter dialog's
  // settings wait for the next rebuild.
  void ReplaceSession(TransactionArray records);

  // A click on a row.
  void ActivateRow(std::size_t row);
  // Up or Down in the grid, before the selection moves: shows the row next to the
  // highest selected one, if there is such a row.
  void OnGridArrowKey(bool down);
  void ShowTransaction(const CHttpTransaction* record);

  FilterSettings& Filter() { return m_filter; }
  void TurnOnFilter();
  void TurnOffFilter();
  // The filter dialog closed; OK rebuilds the grid.
  void OnFilterDialogClosed(bool ok);
  // A new quick-filter text rebuilds the grid once; the same text again changes nothing.
  void SetQuickFilter(std::u16string_view text);
  const std::u16string& QuickFilterText() const { return m_quickFilterText; }

  void MaximizeSessionGrid() { SetViewMode(ViewMode::kGridOnly); }
  void MaximizeSessionView() { SetViewMode(ViewMode::kViewOnly); }
  void RestoreWindows() { SetViewMode(ViewMode::kBoth); }
  ViewMode Mode() const { return m_viewMode; }
  // The whole monitor panel shown or hidden by the host.
  void SetPanelShown(bool shown);

  // Runs the commands that need nothing from the host (Clear, the two filter
  // switches, the view modes); false for every other command.
  bool OnCommand(int commandId);

  const TransactionArray& Session() const { return m_arrTransactions; }
  // The records of the session not cleared from it.
  std::size_t RecordCount() const { return m_arrTransactions.size() - m_clearedCount; }
  // Records have arrived since the session was last loaded or saved as a log file.
  bool HasUnsavedRecords() const { return m_unsaved; }
  // The session has just been written whole to a log file.
  void MarkSaved() { m_unsaved = false; }
  CSessionGridModel& Grid() { return m_grid; }
  const CSessionGridModel& Grid() const { return m_grid; }
  const CDetailViews& Details() const { return m_details; }

 private:
  void SetViewMode(ViewMode mode);
  // A grid that is not visible gets no rows added or rewritten; the next rebuild
  // catches up.
  void UpdateGridVisibility();
  // Whether the filter (when on) and the quick filter let the record through.
  bool PassesFilters(const CHttpTransaction& record) const;
  // A live record gets its row now if it passes, is not cleared and has none yet.
  void AddRowIfPasses(CHttpTransaction& record);

  TransactionArray m_arrTransactions;
  CCaptureReceiver m_receiver{*this};
  FilterSettings m_filter;
  std::u16string m_quickFilterText;
  CQuickFilter m_quickFilter;
  CSessionGridModel m_grid;
  CDetailViews m_details;
  ViewMode m_viewMode = ViewMode::kBoth;
  bool m_panelShown = true;
  std::size_t m_clearedCount = 0;
  bool m_unsaved = false;
};

}  // namespace tracewell
