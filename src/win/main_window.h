#pragma once
// The monitor's main window, a child of the browser's bar window: the toolbar with
// its drop-down menus above the session grid, and under it the detail tabs of the
// record the grid activated, the page inspector among them. The band sees each of its messages first (its message map), the
// window's own handling comes after. Capture messages arrive from
// the browser's networking threads through a queue that a posted message drains on
// this window's thread.

#include <windows.h>

#include <memory>

#include "cache_platform.h"
#include "capture/capture_queue.h"
#include "command_keys.h"
#include "detail_tabs_view.h"
#include "file_commands.h"
#include "grid_list_view.h"
#include "inspector/inspector_model.h"
#include "main_splitter.h"
#include "main_toolbar.h"
#include "views/find_dialog_model.h"
#include "views/main_commands.h"
#include "views/main_window_model.h"
#include "win_clipboard.h"
#include "win_collator.h"

namespace tracewell::win {

class IMessageMap {
 public:
  virtual ~IMessageMap() = default;
  // True when the message was handled, with its answer in `result`.
  virtual bool ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                    LRESULT& result) = 0;
};

class CMainWindowImpl {
 public:
  // `browser` is the one whose page the inspector shows; it outlives the window.
  CMainWindowImpl(IMessageMap& firstMap, const IClock& clock, const IWebBrowser& browser);
  ~CMainWindowImpl();
  CMainWindowImpl(const CMainWindowImpl&) = delete;
  CMainWindowImpl& operator=(const CMainWindowImpl&) = delete;

  // Creates the window over `area` of `parent`; false when the system refuses.
  bool Create(HWND parent, const RECT& area);
  void Destroy();
  bool Exists() const { return m_window != nullptr; }
  HWND Handle() const { return m_window; }

  // Where the capture posts its messages.
  std::shared_ptr<ICaptureNotifier> Notifier() const { return m_queue; }
  // Checks `checked` (command::kStart or kStop) and clears the other, unless it is
  // checked already.
  void CheckRecordingButton(int checked) { m_toolbar.CheckRecordingButton(checked); }

  // The page inspector: "Loading..." while a navigation runs, the tree again from the
  // browser's document, or nothing while the window is hidden.
  void ShowInspectorLoading();
  void RebuildInspector();
  void ClearInspector();

  // A key-down or other keyboard message for the window or one of its controls: a
  // command key runs its command through the window (the band's table first, as a
  // click would), any other key goes to the control it is meant for. False for the
  // messages of other windows, which are the browser's.
  bool TranslateKey(MSG& message);

 private:
  template <typename View>
  friend LRESULT CALLBACK ViewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool CreateChildren();
  void Layout();
  static void PlacePane(HWND pane, const RECT& place, bool shown);
  void DrainCaptureMessages();
  void ShowInspector();
  // Clear, the filter and Find, the view modes and the file commands; false for the
  // rest.
  bool OnCommand(int id);
  // A click on a grid row, or Up or Down in the grid, shows a record in the detail
  // tabs; the grid's other notifications go to the grid. False for other controls'.
  bool OnGridNotify(const NMHDR& header);
  void ShowDetails();

  IMessageMap& m_firstMap;
  CWinCollator m_collator;
  CMainWindowModel m_model;
  CWinClipboard m_clipboard{nullptr};
  CGridListView m_gridView{m_model.Grid(), m_clipboard};
  CSourceColorizer m_colorizer;
  CInspectorModel m_inspector;
  CWinCacheFiles m_cacheFiles;
  CDetailTabsView m_detailTabs{m_clipboard, m_inspector, m_cacheFiles};
  CFileCommands m_fileCommands;
  CFindHistory m_findHistory;
  CCommandKeys m_commandKeys;
  std::shared_ptr<CCaptureQueue> m_queue;
  HWND m_window = nullptr;
  CMainToolbar m_toolbar;
  CMainSplitter m_splitter;
  SplitPanes m_panes{};
};

}  // namespace tracewell::win
