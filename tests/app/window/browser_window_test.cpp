// The window with the browser it starts: a real headless Chromium, loopback only,
// against the tests' own origin. Its requests become rows through the same Start and
// Stop as the proxy's, and its page fills the Content tab.

#include <QAbstractButton>
#include <QtTest>
#include <algorithm>
#include <memory>

#include "inspector/inspector_model.h"
#include "support/temp_dir.h"
#include "support/test_origin.h"
#include "text/utf8.h"
#include "views/main_commands.h"
#include "window/browser_host.h"
#include "window_test_support.h"

namespace tracewell::testing {

namespace {

constexpr int kBrowserWait = 30000;  // ms

QStringList TreeLabels(const CInspectorModel& model) {
  QStringList labels;
  for (const auto& item : model.Tree().Items()) labels << QString::fromStdU16String(item.label);
  return labels;
}

std::size_t ItemOf(const CInspectorModel& model, const QString& label) {
  const auto labels = TreeLabels(model);
  return static_cast<std::size_t>(labels.indexOf(label));
}

bool HasRecord(app::CMainWindow& window, const std::string& url, std::u16string_view result) {
  const auto& records = window.Model().Session();
  return std::any_of(records.begin(), records.end(), [&](const auto& record) {
    return ToUtf8(record->m_strUrl) == url && record->m_strResult == result;
  });
}

}  // namespace

class BrowserWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void browserRequestsAreRowsAndItsPageFillsTheContentTab();
  void stopTurnsTheBrowsersRecordingOffAndSupportOpensInIt();
  void aMissingBrowserIsNamedInAMessage();
  void clearAllCookiesDeletesTheBrowsersCookies();

 private:
  app::CMainWindow& Window() { return m_window->window; }
  void OpenBrowser();

  std::unique_ptr<TestOrigin> m_origin;
  std::unique_ptr<TempDir> m_dir;
  std::unique_ptr<TestWindow> m_window;
};

void BrowserWindowTest::init() {
  m_origin = std::make_unique<TestOrigin>();
  m_origin->SetResponse("/first", "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n",
                        "<html><head><title>First page</title><style>p { color: red }</style>"
                        "<script>var answer = 42;</script></head><body>"
                        "<form action=/echo method=post><input name=q value=v></form>"
                        "<a href=/second>Second</a><img src=/style.css></body></html>");
  m_origin->SetResponse("/second", "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n",
                        "<html><head><title>Second page</title></head><body></body></html>");
  m_dir = std::make_unique<TempDir>();
  app::BrowserSetup browser;
  browser.headless = true;
  browser.loopbackOnly = true;
  browser.profile = m_dir->path() / "profile";
  m_window = std::make_unique<TestWindow>(TestWindow::WindowProxyOptions(), browser);
  Window().show();
}

void BrowserWindowTest::cleanup() {
  m_window.reset();
  m_origin.reset();
  m_dir.reset();
}

void BrowserWindowTest::clearAllCookiesDeletesTheBrowsersCookies() {
  m_origin->SetResponse("/cookie", "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nSet-Cookie: sid=42; Path=/\r\n",
                        "<html><head><title>Cookie page</title></head></html>");
  OpenBrowser();
  QVERIFY(Window().Browser().Navigate(QString::fromStdString(m_origin->Url("/cookie"))));
  QTRY_VERIFY_WITH_TIMEOUT(TreeLabels(Window().Inspector()).contains("Cookie page"), kBrowserWait);
  // The browser's cookie names, once it answers.
  auto cookieNames = [this] {
    std::optional<QStringList> names;
    Window().Browser().ReadCookies([&](std::vector<StoredCookie> cookies) {
      names.emplace();
      for (const StoredCookie& cookie : cookies) names->append(QString::fromStdU16String(cookie.name));
    });
    if (!QTest::qWaitFor([&] { return names.has_value(); }, kBrowserWait)) return QStringList{"(no answer)"};
    return *names;
  };
  QCOMPARE(cookieNames(), QStringList{"sid"});

  AnswerNextModal([](QWidget& box) { ButtonOf(box, "Yes").click(); });
  Window().OnCommand(command::kClearAllCookies);
  QVERIFY(QTest::qWaitFor([&] { return cookieNames().isEmpty(); }, kBrowserWait));
}

void BrowserWindowTest::OpenBrowser() {
  Window().OnCommand(command::kBrowser);
  QTRY_VERIFY_WITH_TIMEOUT(Window().Browser().Navigate(QStringLiteral("about:blank")), kBrowserWait);
}

void BrowserWindowTest::browserRequestsAreRowsAndItsPageFillsTheContentTab() {
  Window().OnCommand(command::kStart);
  OpenBrowser();
  auto& inspector = Window().Inspector();
  // A navigation shows "Loading..." first, then the tree of the page once it has loaded.
  QStringList whileLoading;
  connect(&Window().Browser(), &app::CBrowserHost::pageLoading, this,
          [&] { if (whileLoading.isEmpty()) whileLoading = TreeLabels(inspector); });
  QVERIFY(Window().Browser().Navigate(QString::fromStdString(m_origin->Url("/first"))));
  QTRY_VERIFY_WITH_TIMEOUT(TreeLabels(inspector).contains("First page"), kBrowserWait);
  QCOMPARE(whileLoading, QStringList{"Loading..."});
  const QStringList labels = TreeLabels(inspector);
  QVERIFY2(labels.contains("<SCRIPT>"), qPrintable(labels.join('|')));
  QVERIFY2(labels.contains("<style>"), qPrintable(labels.join('|')));

  // The page's requests are rows, the page's own and the image's.
  QTRY_VERIFY_WITH_TIMEOUT(HasRecord(Window(), m_origin->Url("/first"), u"200"), kBrowserWait);
  QTRY_VERIFY_WITH_TIMEOUT(HasRecord(Window(), m_origin->Url("/style.css"), u"200"), kBrowserWait);

  // The chosen parts show the live page: its script, the summary of the page.
  inspector.OnTreeItemChosen(ItemOf(inspector, "<SCRIPT>"));
  QCOMPARE(inspector.Pane(), InspectorPane::kText);
  QVERIFY(QString::fromStdString(inspector.RichText()).contains("answer"));
  inspector.OnTreeItemChosen(0);
  QCOMPARE(inspector.Pane(), InspectorPane::kRoot);
  QCOMPARE(QString::fromStdU16String(inspector.RootPanel().name), QStringLiteral("First page"));
  QCOMPARE(QString::fromStdU16String(inspector.RootPanel().url), QString::fromStdString(m_origin->Url("/first")));

  // Another page replaces the tree.
  QVERIFY(Window().Browser().Navigate(QString::fromStdString(m_origin->Url("/second"))));
  QTRY_VERIFY_WITH_TIMEOUT(TreeLabels(inspector).contains("Second page"), kBrowserWait);
  QVERIFY(!TreeLabels(inspector).contains("First page"));

  // Closing the window (the session not saved) closes the browser it started.
  AnswerNextModal([](QWidget& box) { ButtonOf(box, "Discard").click(); });
  Window().close();
  QVERIFY(!Window().Browser().IsOpen());
}

void BrowserWindowTest::stopTurnsTheBrowsersRecordingOffAndSupportOpensInIt() {
  OpenBrowser();  // recording is off
  QVERIFY(Window().Browser().Navigate(QString::fromStdString(m_origin->Url("/second"))));
  QTRY_VERIFY_WITH_TIMEOUT(TreeLabels(Window().Inspector()).contains("Second page"), kBrowserWait);
  QCOMPARE(Window().Model().RecordCount(), 0u);

  Window().OnCommand(command::kStart);
  qputenv("TRACEWELL_HOME_PAGE", QByteArray::fromStdString(m_origin->Url("/first")));
  Window().OnCommand(command::kTechnicalSupport);  // opens in the started browser
  qunsetenv("TRACEWELL_HOME_PAGE");
  QTRY_VERIFY_WITH_TIMEOUT(HasRecord(Window(), m_origin->Url("/first"), u"200"), kBrowserWait);
  QTRY_VERIFY_WITH_TIMEOUT(TreeLabels(Window().Inspector()).contains("First page"), kBrowserWait);

  // Hiding the window empties the Content tab; showing it again takes the page afresh.
  Window().hide();
  QVERIFY(TreeLabels(Window().Inspector()).isEmpty());
  Window().show();
  QTRY_VERIFY_WITH_TIMEOUT(TreeLabels(Window().Inspector()).contains("First page"), kBrowserWait);
}

void BrowserWindowTest::aMissingBrowserIsNamedInAMessage() {
  app::BrowserSetup missing;
  missing.executable = (m_dir->path() / "no-such-chromium").string();
  missing.profile = m_dir->path() / "profile";
  TestWindow window(TestWindow::WindowProxyOptions(), missing);
  QString text;
  AnswerNextModal([&](QWidget& box) {
    text = MessageText(box);
    ButtonOf(box, "OK").click();
  });
  window.window.OnCommand(command::kBrowser);
  QVERIFY2(text.contains("install Debian's package 'chromium'"), qPrintable(text));
  QVERIFY(!window.window.Browser().IsOpen());
}

}  // namespace tracewell::testing

QTEST_MAIN(tracewell::testing::BrowserWindowTest)
#include "browser_window_test.moc"
