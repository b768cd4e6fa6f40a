#pragma once
// The main window: the toolbar, the grid above the detail tabs, the status bar, and
// the recorder running in the same process. It binds the widgets to the core's
// main-window model and routes every command; the rules are the model's.

#include <QMainWindow>
#include <filesystem>

#include "bodies/body_view.h"
#include "inspector/inspector_model.h"
#include "proxy/host_resolver.h"
#include "proxy/proxy_options.h"
#include "views/find_dialog_model.h"
#include "views/main_window_model.h"
#include "views/recording_switch.h"
#include "widgets/qt_clipboard.h"
#include "widgets/qt_message_box.h"
#include "window/browser_host.h"
#include "window/cache_commands.h"
#include "window/file_commands.h"
#include "window/grid_table_model.h"
#include "window/help_commands.h"
#include "window/live_capture.h"

class QLabel;

namespace tracewell::app {

class CDetailTabs;
class CMainSplitter;
class CMainToolbar;
class CSessionGridView;

// What the window takes from its surroundings: the program passes the default
// proxy address and the system's resolver, tests a loopback-only proxy on a free
// port and a resolver of their own.
struct WindowSetup {
  proxy::ProxyOptions proxy;
  proxy::IHostResolver& resolver;
  const IClock& clock;
  const ICollator& collator;
  BrowserSetup browser = {};
  // Where the proxy keeps its responses; none: it keeps none.
  std::optional<store::StoreSettings> store = {};
};

class CMainWindow final : public QMainWindow {
  Q_OBJECT

 public:
  explicit CMainWindow(const WindowSetup& setup, QWidget* parent = nullptr);
  ~CMainWindow() override;

  // A command of the toolbar, a menu or a key.
  void OnCommand(int commandId);
  // Loads the session file named on the command line, as Load would.
  void OpenSession(const std::filesystem::path& path);

  CMainWindowModel& Model() { return m_model; }
  CLiveCapture& Capture() { return m_capture; }
  CMainToolbar& Toolbar() { return *m_toolbar; }
  CSessionGridView& Grid() { return *m_grid; }
  CDetailTabs& Tabs() { return *m_tabs; }
  CMainSplitter& Splitter() { return *m_splitter; }
  CInspectorModel& Inspector() { return m_inspector; }
  CBrowserHost& Browser() { return m_browserHost; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void RunFilterDialog();
  void RunFindDialog();
  // Every command key runs its command through OnCommand from anywhere in the window.
  void BindCommandKeys();
  // The grid follows the toolbar's quick-filter box.
  void BindQuickFilter();
  void ReportListenFailure(const QString& failure);
  // What the empty grid says: where to point a browser, or that nothing can be recorded.
  void ShowEmptyGridHint(const proxy::tcp::endpoint& listen);
  // Saves the interception authority's certificate where the user chooses.
  void ExportAuthority();
  // Starts the browser that is recorded from inside, or shows it.
  void OpenBrowser();
  // The Content tab follows the browser's page.
  void BindBrowser();
  void ShowDetails();
  void UpdateStatus();
  void Shutdown();

  CMainWindowModel m_model;
  CQtClipboard m_clipboard;
  CQtMessageBox m_messages;
  CFindHistory m_findHistory;
  CGridTableModel m_rows;
  CLiveCapture m_capture;
  CRecordingSwitch m_recording;
  // The browser recorded from inside; the "Content" tab shows its page.
  CBrowserHost m_browserHost;
  // The stored bodies of the browser's cache and the recorder's store.
  CWindowCacheFiles m_cacheFiles;
  CStoredBodies m_storedBodies;
  CFileCommands m_files;
  CHelpCommands m_help;
  CCacheCommands m_cacheCommands;
  CSourceColorizer m_colorizer;
  CInspectorModel m_inspector;
  // Children of the window.
  CMainToolbar* m_toolbar;
  CSessionGridView* m_grid;
  CDetailTabs* m_tabs;
  CMainSplitter* m_splitter;
  QLabel* m_proxyStatus;
  QLabel* m_recordsStatus;
  QLabel* m_recordingStatus;
  QLabel* m_httpsStatus;
  std::shared_ptr<proxy::CInterception> m_interception;  // none: HTTPS passes through
};

}  // namespace tracewell::app
