#pragma once
// The real main window as the tests drive it: its recorder on a free loopback port
// that forwards only to loopback origins, names known only to the test, the
// machine's clock and code-unit sorting. And what answers a modal dialog or a menu from the
// event loop while the window waits in exec(), so that nothing is left hanging.

#include <QFileDialog>
#include <QString>
#include <functional>
#include <memory>

#include "capture/column_mask.h"
#include "support/ordinal_collator.h"
#include "support/proxy_test_tools.h"
#include "system_clock.h"
#include "window/main_window.h"

#include <QObject>
#include <QUrl>

class QAbstractButton;
class QMenu;
class QWidget;

namespace tracewell::testing {

// Catches what the window asks the desktop to open for one URL scheme.
class UrlCatcher final : public QObject {
  Q_OBJECT

 public:
  explicit UrlCatcher(const QString& scheme);
  ~UrlCatcher() override;
  QList<QUrl> urls;

 public slots:
  void Open(const QUrl& url) { urls << url; }

 private:
  QString m_scheme;
};

struct TestWindow {
  explicit TestWindow(proxy::ProxyOptions options = WindowProxyOptions(),
                      app::BrowserSetup browser = {},
                      std::optional<store::StoreSettings> store = std::nullopt);
  static proxy::ProxyOptions WindowProxyOptions();

  FakeResolver resolver;
  SystemClock clock;
  OrdinalCollator collator;
  app::CMainWindow window;
};

// Calls `answer` with the next modal dialog as soon as it is open; fails the test
// when none opens within 10 seconds.
void AnswerNextModal(std::function<void(QWidget&)> answer);
// The same for the next popup menu.
void AnswerNextPopup(std::function<void(QMenu&)> answer);

// Chooses `file` in an open file dialog and accepts it. The name is typed into the
// dialog's name field: selectFile leaves that field alone while it has the focus, and
// the dialog would then accept whatever name the field held before.
void ChooseFile(QFileDialog& dialog, const QString& file);

// A grid column as Qt's views number it.
constexpr int ViewColumn(GridColumn column) { return static_cast<int>(column); }

// The text the window's grid shows in a cell.
QString Cell(app::CMainWindow& window, int row, int column);
// The text of the status bar's label named `name`.
QString StatusText(app::CMainWindow& window, const char* name);

// A button of a dialog by its text (without '&'); fails when there is none.
QAbstractButton& ButtonOf(QWidget& dialog, const QString& text);
// The text of a message box.
QString MessageText(QWidget& box);

// Posts the records to the window's capture queue as the recorder would, and waits
// until the window has delivered them all.
void Replay(app::CMainWindow& window, const TransactionArray& records);

// A record whose grid cells are known: started 9:5:3 45, ended 1.25 s later.
std::unique_ptr<CHttpTransaction> KnownRecord(std::u16string url, std::u16string result,
                                              std::u16string mimeType, std::int32_t size);

}  // namespace tracewell::testing
