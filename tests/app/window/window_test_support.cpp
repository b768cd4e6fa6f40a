#include "window_test_support.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "support/capture_replay.h"
#include "window/session_grid_view.h"

namespace tracewell::testing {
namespace {

constexpr int kPollMs = 10;
constexpr qint64 kWaitMs = 10'000;

// Polls from the event loop until `find` returns a widget, then answers it once.
void AnswerWhenOpen(std::function<QWidget*()> find, std::function<void(QWidget&)> answer,
                    const char* what) {
  auto* timer = new QTimer;
  auto clock = std::make_shared<QElapsedTimer>();
  clock->start();
  QObject::connect(timer, &QTimer::timeout, [timer, clock, find, answer, what] {
    if (QWidget* widget = find()) {
      timer->stop();
      timer->deleteLater();
      answer(*widget);
      return;
    }
    if (clock->elapsed() > kWaitMs) {
      timer->stop();
      timer->deleteLater();
      QTest::qFail(what, __FILE__, __LINE__);
    }
  });
  timer->start(kPollMs);
}

}  // namespace

UrlCatcher::UrlCatcher(const QString& scheme) : m_scheme(scheme) {
  QDesktopServices::setUrlHandler(scheme, this, "Open");
}

UrlCatcher::~UrlCatcher() { QDesktopServices::unsetUrlHandler(m_scheme); }

TestWindow::TestWindow(proxy::ProxyOptions options, app::BrowserSetup browser,
                       std::optional<store::StoreSettings> store)
    : window(app::WindowSetup{options, resolver, clock, collator, std::move(browser), std::move(store)}) {}

proxy::ProxyOptions TestWindow::WindowProxyOptions() {
  proxy::ProxyOptions options = TestProxyOptions();
  options.loopbackUpstreamOnly = true;
  return options;
}

void AnswerNextModal(std::function<void(QWidget&)> answer) {
  AnswerWhenOpen([] { return QApplication::activeModalWidget(); }, std::move(answer),
                 "no modal dialog opened");
}

void AnswerNextPopup(std::function<void(QMenu&)> answer) {
  AnswerWhenOpen([] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); },
                 [answer](QWidget& menu) { answer(static_cast<QMenu&>(menu)); },
                 "no menu opened");
}

QString Cell(app::CMainWindow& window, int row, int column) {
  QAbstractItemModel& rows = *window.Grid().model();
  return rows.data(rows.index(row, column)).toString();
}

QString StatusText(app::CMainWindow& window, const char* name) { return window.findChild<QLabel*>(name)->text(); }

QAbstractButton& ButtonOf(QWidget& dialog, const QString& text) {
  for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
    if (button->text().remove(u'&') == text) return *button;
  }
  qFatal("no button \"%s\"", qPrintable(text));
}

QString MessageText(QWidget& box) {
  const auto* message = qobject_cast<QMessageBox*>(&box);
  return message ? message->text() : QString();
}

void Replay(app::CMainWindow& window, const TransactionArray& records) {
  const std::size_t expected = window.Model().Session().size() + records.size();
  for (std::size_t index = 0; index < records.size(); ++index) {
    for (auto& message : CaptureMessagesFor(*records[index], 1'000'000 + index)) {
      window.Capture().Notifier().Post(std::move(message));
    }
  }
  // Every record delivered, and the views told of every row.
  QVERIFY(QTest::qWaitFor([&] {
    return window.Model().Session().size() == expected &&
           window.Grid().model()->rowCount() == static_cast<int>(window.Model().Grid().RowCount());
  }));
}

std::unique_ptr<CHttpTransaction> KnownRecord(std::u16string url, std::u16string result,
                                              std::u16string mimeType, std::int32_t size) {
  auto record = std::make_unique<CHttpTransaction>();
  record->m_strUrl = std::move(url);
  record->m_strResult = std::move(result);
  record->m_strMimeType = std::move(mimeType);
  record->m_nSize = size;
  record->m_nSent = 120;
  record->m_strMethod = u"GET";
  record->m_strIpAddress = u"127.0.0.1";
  record->m_stStarted = {2026, 12, 2, 1, 9, 5, 3, 45};
  record->m_stEnded = {2026, 12, 2, 1, 9, 5, 4, 295};
  record->m_strRequestHeaders = u"GET / HTTP/1.1\r\nHost: h\r\nCookie: a=1\r\n\r\n";
  record->m_strResponseHeaders = u"HTTP/1.1 " + record->m_strResult + u" X\r\nContent-Type: " +
                                 record->m_strMimeType + u"\r\n\r\n";
  return record;
}

void ChooseFile(QFileDialog& dialog, const QString& file) {
  dialog.selectFile(file);
  if (auto* name = dialog.findChild<QLineEdit*>("fileNameEdit")) name->setText(file);
  static_cast<QDialog&>(dialog).accept();
}

}  // namespace tracewell::testing
