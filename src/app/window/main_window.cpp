#include "window/main_window.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QShortcut>
#include <QStatusBar>
#include <iostream>

#include "proxy/interception.h"
#include "text/utf8.h"
#include "views/main_commands.h"
#include "widgets/detail_tabs.h"
#include "widgets/filter_dialog.h"
#include "widgets/find_dialog.h"
#include "widgets/inspector_view.h"
#include "widgets/qt_text.h"
#include "window/main_splitter.h"
#include "window/main_toolbar.h"
#include "window/session_grid_view.h"

namespace tracewell::app {
namespace {

constexpr char16_t kWindowTitle[] = u"Tracewell Version 1.0";
constexpr char16_t kProgramName[] = u"Tracewell";
constexpr UserMessage kMsgNoAuthority{
    u"HTTPS interception is off: there is no certificate authority to export.", kProgramName};
constexpr QSize kInitialSize{1100, 720};

QString EndpointText(const proxy::tcp::endpoint& endpoint) {
  const QString address = QString::fromStdString(endpoint.address().to_string());
  const QString host = endpoint.address().is_v6() ? u'[' + address + u']' : address;
  return host + u':' + QString::number(endpoint.port());
}

}  // namespace

CMainWindow::CMainWindow(const WindowSetup& setup, QWidget* parent)
    : QMainWindow(parent),
      m_model(setup.collator, setup.clock),
      m_messages(this),
      m_rows(m_model.Grid()),
      m_capture(m_model, m_rows, setup.proxy, setup.resolver, setup.clock, setup.store),
      m_recording(m_capture.Switch()),
      m_browserHost(m_capture.Bindings(), setup.browser),
      m_cacheFiles(m_browserHost, m_capture.Store()),
      m_storedBodies(m_cacheFiles),
      m_files(m_model, setup.clock, m_messages, this, {&m_storedBodies, &m_capture}),
      m_help(m_messages, *this,
             [this](const QString& url) { return m_browserHost.Navigate(url); }),
      m_cacheCommands(m_model, m_browserHost, m_capture.Store(), m_cacheFiles, m_messages, this),
      m_inspector(m_browserHost.Page(), m_colorizer, [this] { return isVisible(); }),
      m_toolbar(new CMainToolbar(m_model.Filter(), this)),
      m_grid(new CSessionGridView(m_model, m_rows, m_clipboard)),
      m_tabs(new CDetailTabs(m_clipboard, m_inspector)),
      m_splitter(new CMainSplitter(*m_grid, *m_tabs, this)),
      m_proxyStatus(new QLabel(this)),
      m_recordsStatus(new QLabel(this)),
      m_recordingStatus(new QLabel(this)),
      m_httpsStatus(new QLabel(this)),
      m_interception(setup.proxy.interception) {
  setWindowTitle(ToQString(kWindowTitle));
  resize(kInitialSize);
  addToolBar(Qt::TopToolBarArea, m_toolbar);
  m_tabs->SetCacheFiles(m_cacheFiles);
  setCentralWidget(m_splitter);
  m_proxyStatus->setObjectName("proxyStatus");
  m_recordsStatus->setObjectName("recordsStatus");
  m_recordingStatus->setObjectName("recordingStatus");
  statusBar()->addWidget(m_proxyStatus);
  statusBar()->addWidget(m_recordsStatus);
  statusBar()->addWidget(m_recordingStatus);
  m_httpsStatus->setObjectName("httpsStatus");
  m_httpsStatus->setText(
      m_interception ? QStringLiteral("HTTPS recorded: trust the CA from Tools > Export CA Certificate...")
                     : QStringLiteral("HTTPS passes through unrecorded"));
  statusBar()->addPermanentWidget(m_httpsStatus);

  connect(m_toolbar, &CMainToolbar::commandTriggered, this, &CMainWindow::OnCommand);
  connect(m_grid, &CSessionGridView::transactionShown, this, &CMainWindow::ShowDetails);
  connect(&m_capture, &CLiveCapture::delivered, this, &CMainWindow::UpdateStatus);
  BindCommandKeys();
  BindQuickFilter();
  BindBrowser();

  if (const proxy::error_code ec = m_capture.Listen()) {
    // Said once the window is up; loaded sessions still work without the proxy.
    const QString failure = QStringLiteral("Tracewell cannot listen on ") + EndpointText(setup.proxy.listen) +
                            QStringLiteral(": ") + QString::fromStdString(ec.message()) + u'.';
    QMetaObject::invokeMethod(this, [this, failure] { ReportListenFailure(failure); },
                              Qt::QueuedConnection);
  }
  m_toolbar->EnableRecording(m_capture.IsListening());
  ShowEmptyGridHint(setup.proxy.listen);
  UpdateStatus();
}

CMainWindow::~CMainWindow() { Shutdown(); }

void CMainWindow::OnCommand(int commandId) {
  // Clear puts the records out of sight, as Load replaces them: both may lose them.
  if (commandId == command::kClear && !m_files.MaySetSessionAside()) return;
  switch (commandId) {
    case command::kStart:
      m_recording.Start();
      break;
    case command::kStop:
      m_recording.Stop();
      break;
    case command::kFilter:
      RunFilterDialog();
      break;
    case command::kFind:
      RunFindDialog();
      break;
    case command::kCookieCacheManager:
    case command::kClearAllCookies:
    case command::kClearAllCaches:
      m_cacheCommands.OnCommand(commandId);
      break;
    case command::kExportCaCertificate:
      ExportAuthority();
      break;
    case command::kBrowser:
      OpenBrowser();
      break;
    default:
      if (m_help.OnCommand(commandId)) break;
      {
        // A load or a rebuild reaches the grid as one reset; rows that arrive while
        // a file dialog is open follow when it closes.
        const CGridTableModel::CBatch batch(m_rows);
        if (!m_files.OnCommand(commandId)) m_model.OnCommand(commandId);
      }
      break;
  }
  m_toolbar->ShowRecording(m_recording.IsRecording());
  m_splitter->ShowMode(m_model.Mode());
  // The window's own commands may rebuild the grid or empty the tabs.
  if (OwnerOf(commandId) == CommandOwner::kMainWindow) ShowDetails();
  UpdateStatus();
}

void CMainWindow::OpenSession(const std::filesystem::path& path) {
  {
    const CGridTableModel::CBatch batch(m_rows);
    m_files.LoadFile(path);
  }
  ShowDetails();
  UpdateStatus();
}

void CMainWindow::closeEvent(QCloseEvent* event) {
  if (!m_files.MaySetSessionAside()) {
    event->ignore();
    return;
  }
  Shutdown();
  event->accept();
}

void CMainWindow::ExportAuthority() {
  if (!m_interception) {
    m_messages.ShowMessage(kMsgNoAuthority);
    return;
  }
  QFileDialog dialog(this, QStringLiteral("Export CA Certificate"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(QStringLiteral("PEM certificates (*.pem *.crt)"));
  dialog.setDefaultSuffix(QStringLiteral("pem"));
  dialog.selectFile(QStringLiteral("tracewell-ca.pem"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const std::filesystem::path path(QFile::encodeName(dialog.selectedFiles().front()).toStdString());
  if (const auto error = m_interception->Authority().ExportCertificate(path)) {
    const std::u16string text = FromUtf8(*error);
    m_messages.ShowMessage({text, u"Error"});
  }
}

void CMainWindow::OpenBrowser() {
  if (const auto error = m_browserHost.Open()) m_messages.ShowMessage({FromUtf8(*error), kProgramName});
}

void CMainWindow::BindBrowser() {
  connect(&m_browserHost, &CBrowserHost::pageLoading, this, [this] {
    m_inspector.ShowInspectorLoading();
    m_tabs->Inspector().Refresh();
  });
  connect(&m_browserHost, &CBrowserHost::pageChanged, this, [this] {
    m_inspector.RebuildInspectorTree();
    m_tabs->Inspector().Refresh();
  });
  // Records of the browser end when it does; the session stays as it is.
  connect(&m_browserHost, &CBrowserHost::openChanged, this, &CMainWindow::UpdateStatus);
  connect(&m_browserHost, &CBrowserHost::fault, this, [](const QString& reason) {
    std::cerr << "tracewell: browser: " << reason.toStdString() << "\n";
  });
}

void CMainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  m_browserHost.RefreshPage();
}

void CMainWindow::hideEvent(QHideEvent* event) {
  QMainWindow::hideEvent(event);
  m_inspector.ClearInspector();
  m_tabs->Inspector().Refresh();
}

void CMainWindow::RunFilterDialog() {
  CFilterDialog dialog(m_model.Filter(), this);
  const bool ok = dialog.exec() == QDialog::Accepted;
  const CGridTableModel::CBatch batch(m_rows);
  m_model.OnFilterDialogClosed(ok);
}

void CMainWindow::RunFindDialog() {
  CFindDialog dialog(m_model, m_findHistory, nullptr, m_messages, this);
  connect(&dialog, &CFindDialog::rowFound, this, [this] {
    m_grid->PushSelection();
    if (const auto row = m_model.Grid().LastSelectedRow()) {
      m_grid->scrollTo(m_rows.index(static_cast<int>(*row), 0));
    }
    ShowDetails();
  });
  dialog.exec();
}

void CMainWindow::BindCommandKeys() {
  for (const CommandKey& entry : kCommandKeys) {
    const QKeySequence keys(ToQString(entry.keys), QKeySequence::PortableText);
    auto* shortcut = new QShortcut(keys, this);
    const int id = entry.id;
    connect(shortcut, &QShortcut::activated, this, [this, id] {
      if (m_toolbar->IsCommandEnabled(id)) OnCommand(id);
    });
    m_toolbar->ShowKey(id, keys);
  }
}

void CMainWindow::ShowEmptyGridHint(const proxy::tcp::endpoint& listen) {
  if (!m_capture.IsListening()) {
    m_grid->SetEmptyHint(QStringLiteral("Tracewell is not listening on ") + EndpointText(listen) +
                         QStringLiteral(", so nothing can be recorded. Load opens a saved session."));
    return;
  }
  const QString address = EndpointText(m_capture.Endpoint());
  QString hint = QStringLiteral("Set ") + address +
                 QStringLiteral(" as the browser's HTTP and HTTPS proxy (or curl -x http://") +
                 address + QStringLiteral("), then press Start.");
  if (m_interception) {
    hint += QStringLiteral(
        "\nTo record HTTPS, trust Tracewell's certificate authority: Tools > Export CA Certificate...");
  }
  m_grid->SetEmptyHint(hint);
}

void CMainWindow::BindQuickFilter() {
  connect(m_toolbar, &CMainToolbar::quickFilterChanged, this, [this](const QString& text) {
    // One rebuild reaches the view as one reset; it empties the detail tabs.
    const CGridTableModel::CBatch batch(m_rows);
    m_model.SetQuickFilter(FromQString(text));
    ShowDetails();
  });
}

void CMainWindow::ReportListenFailure(const QString& failure) {
  const std::u16string text = FromQString(
      failure +
      QStringLiteral("\nRecording is not available; saved sessions can still be loaded and viewed."));
  m_messages.ShowMessage({text, kProgramName});
}

void CMainWindow::ShowDetails() { m_tabs->ShowDetails(m_model.Details()); }

void CMainWindow::UpdateStatus() {
  m_proxyStatus->setText(m_capture.IsListening()
                             ? QStringLiteral("Proxy: ") + EndpointText(m_capture.Endpoint())
                             : QStringLiteral("Proxy: not running"));
  m_recordsStatus->setText(QStringLiteral("Records: ") + QString::number(m_model.RecordCount()));
  m_recordingStatus->setText(m_recording.IsRecording() ? QStringLiteral("Recording")
                                                       : QStringLiteral("Not recording"));
}

void CMainWindow::Shutdown() {
  m_browserHost.Close();  // its unfinished requests end as aborted records
  m_recording.Stop();
  m_capture.Shutdown();
}

}  // namespace tracewell::app
