// The window with its recorder for real: curl through the in-process proxy to an
// origin of the tests' own on 127.0.0.1, rows as requests run and finish, the
// recording switch, the filter and a hidden grid, deliveries held while a file is
// worked on, closing while a request runs, an address already in use, the update
// check against a loopback update site, and the recorder's response store behind
// the Cache Info and Body tabs and the cookie and cache manager.

#include <QAbstractItemModel>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <future>

#include "support/temp_dir.h"
#include "support/test_origin.h"
#include "widgets/body_tab.h"
#include "widgets/detail_tabs.h"
#include "views/main_commands.h"
#include "window/main_toolbar.h"
#include "window/session_grid_view.h"
#include "window_test_support.h"

namespace tracewell::app {

using testing::ViewColumn;
using testing::AnswerNextModal;
using testing::Cell;
using testing::StatusText;
using testing::ButtonOf;
using testing::CommandResult;
using testing::MessageText;
using testing::TestOrigin;
using testing::TestWindow;
using testing::UrlCatcher;

namespace {

constexpr int kDuration = ViewColumn(GridColumn::kDuration);
constexpr int kMethod = ViewColumn(GridColumn::kMethod);
constexpr int kResult = ViewColumn(GridColumn::kResult);
constexpr int kSize = ViewColumn(GridColumn::kSize);
constexpr int kType = ViewColumn(GridColumn::kType);
constexpr int kUrl = ViewColumn(GridColumn::kUrl);
constexpr int kIpAddress = ViewColumn(GridColumn::kIpAddress);

// A response that stops after its head and 10 bytes: the recorder gives up after its
// read timeout (1.5 s in tests), well before the origin does.
constexpr char kSlowPath[] = "/stall-body";
constexpr char kSlowOptions[] = "--max-time 10";

int Rows(CMainWindow& window) { return window.Grid().model()->rowCount(); }

std::size_t Records(CMainWindow& window) { return window.Model().Session().size(); }

void Press(CMainWindow& window, int commandId) {
  QTest::mouseClick(&window.Toolbar().Button(commandId), Qt::LeftButton);
}

}  // namespace

class LiveCaptureTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TestOrigin> m_origin;
  std::unique_ptr<TestWindow> m_test;
  CMainWindow& Window() { return m_test->window; }

  std::string ProxyAddress() {
    return "127.0.0.1:" + std::to_string(Window().Capture().Endpoint().port());
  }
  // curl on its own thread, so that the window's event loop keeps running meanwhile.
  std::future<CommandResult> CurlInBackground(std::string path, std::string options = {}) {
    return std::async(std::launch::async, [proxy = ProxyAddress(), url = m_origin->Url(path), options] {
      return testing::Curl(proxy, options + " " + url);
    });
  }
  // Waits for curl while the window keeps delivering.
  CommandResult Finish(std::future<CommandResult>& curl) {
    while (curl.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) {
      QTest::qWait(10);
    }
    return curl.get();
  }
  CommandResult Get(std::string path, std::string options = {}) {
    auto curl = CurlInBackground(std::move(path), std::move(options));
    return Finish(curl);
  }

 private slots:
  void StoredResponsesFillTheBodyTabAndTheCacheManager() {
    testing::TempDir dir;
    store::StoreSettings settings;
    settings.directory = dir / "store";
    m_test = std::make_unique<TestWindow>(TestWindow::WindowProxyOptions(), BrowserSetup{}, std::move(settings));
    Window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&Window()));
    m_origin->SetResponse("/site.css",
                          "HTTP/1.1 200 OK\r\nContent-Type: text/css\r\nCache-Control: max-age=600\r\n"
                          "Set-Cookie: theme=dark; Path=/\r\n",
                          "p { color: red }");
    Press(Window(), command::kStart);
    Get("/site.css");
    Get("/site.css");
    QTRY_COMPARE(Records(Window()), std::size_t{2});
    const auto& session = Window().Model().Session();
    QTRY_VERIFY(session[1]->m_pCacheInfoAfter != nullptr);
    QVERIFY(session[0]->m_pCacheInfoBefore == nullptr);
    QCOMPARE(*session[1]->m_pCacheInfoBefore, *session[0]->m_pCacheInfoAfter);

    // The Body tab reads the second record's body from the store.
    QTRY_COMPARE(Rows(Window()), 2);
    QTest::mouseClick(Window().Grid().viewport(), Qt::LeftButton, {},
                      Window().Grid().visualRect(Window().Grid().model()->index(1, 0)).center());
    CDetailTabs& tabs = Window().Tabs();
    for (int tab = 0; tab < tabs.count(); ++tab) {
      if (tabs.tabText(tab) == "Body") tabs.setCurrentIndex(tab);
    }
    QTRY_COMPARE(tabs.Body().Response().ShownText(), QString("p { color: red }"));

    // The manager lists the store's host and file; with no browser, the session's cookie.
    AnswerNextModal([](QWidget& dialog) {
      auto& hosts = *dialog.findChild<QTreeWidget*>("hostList");
      QCOMPARE(hosts.topLevelItemCount(), 1);
      QCOMPARE(hosts.topLevelItem(0)->text(0), QString("127.0.0.1"));
      hosts.setCurrentItem(hosts.topLevelItem(0));
      auto& files = *dialog.findChild<QTreeWidget*>("fileList");
      QCOMPARE(files.topLevelItemCount(), 1);
      QCOMPARE(files.topLevelItem(0)->text(1), QString("16"));
      files.setCurrentItem(files.topLevelItem(0));
      QCOMPARE(dialog.findChild<QPlainTextEdit*>("previewText")->toPlainText(), QString("p { color: red }"));
      ButtonOf(dialog, "Exit").click();
    });
    Window().OnCommand(command::kCookieCacheManager);

    // Clear All Caches empties the store.
    AnswerNextModal([](QWidget& box) { ButtonOf(box, "Yes").click(); });
    Window().OnCommand(command::kClearAllCaches);
    std::uint32_t size = 0;
    QCOMPARE(Window().Capture().Store()->GetUrlCacheEntryInfo(session[0]->m_strUrl, nullptr, size),
             CacheQueryStatus::kFailed);
  }

  void init() {
    m_origin = std::make_unique<TestOrigin>();
    m_test = std::make_unique<TestWindow>();
    Window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&Window()));
  }
  void cleanup() {
    m_test.reset();
    m_origin.reset();
  }

  void NothingIsRecordedBeforeStart() {
    QCOMPARE(Get("/hello").output, std::string("<p>hello</p>"));  // forwarded all the same
    QTest::qWait(200);
    QCOMPARE(Records(Window()), std::size_t{0});
    QCOMPARE(Rows(Window()), 0);
  }

  void RowsAppearAndUpdateCellByCellWhileRecording() {
    Press(Window(), command::kStart);
    QSignalSpy resets(Window().Grid().model(), &QAbstractItemModel::modelReset);
    QSignalSpy changes(Window().Grid().model(), &QAbstractItemModel::dataChanged);

    // A request that takes a while: the row is there while it runs.
    auto slow = CurlInBackground(kSlowPath, kSlowOptions);
    QTRY_COMPARE(Rows(Window()), 1);
    QCOMPARE(Cell(Window(), 0, kUrl), QString::fromStdString(m_origin->Url(kSlowPath)));
    QCOMPARE(Cell(Window(), 0, kMethod), QString("GET"));
    QTRY_COMPARE(Cell(Window(), 0, kIpAddress), QString("127.0.0.1"));
    QCOMPARE(Cell(Window(), 0, kDuration), QString("0.000"));
    QCOMPARE(Cell(Window(), 0, kResult), QString());
    changes.clear();
    Finish(slow);
    // The end rewrites result and duration: the origin timed out.
    QTRY_COMPARE(Cell(Window(), 0, kResult), QString("12002"));
    QCOMPARE(Cell(Window(), 0, kType), QString("text/plain"));
    QVERIFY(Cell(Window(), 0, kDuration).toDouble() >= 1.0);
    const auto rewrote = [&](int row, int column) {
      for (const QList<QVariant>& change : changes) {
        const auto topLeft = change[0].value<QModelIndex>();
        const auto bottomRight = change[1].value<QModelIndex>();
        if (topLeft.row() <= row && row <= bottomRight.row() && topLeft.column() <= column &&
            column <= bottomRight.column()) {
          return true;
        }
      }
      return false;
    };
    QTRY_VERIFY(rewrote(0, kResult) && rewrote(0, kDuration));

    QCOMPARE(Get("/hello").output, std::string("<p>hello</p>"));
    QTRY_COMPARE(Cell(Window(), 1, kSize), QString("12"));
    QCOMPARE(Cell(Window(), 1, kType), QString("text/html"));
    QCOMPARE(Cell(Window(), 1, 0), QString("1"));
    QCOMPARE(resets.count(), 0);  // cell by cell, never the whole grid
    QTRY_COMPARE(StatusText(Window(), "recordsStatus"), QString("Records: 2"));
    QCOMPARE(StatusText(Window(), "recordingStatus"), QString("Recording"));
  }

  void RecordsWaitWhileAFileIsReadOrWritten() {
    Press(Window(), command::kStart);
    {
      const CLiveCapture::CDeliveryHold hold(Window().Capture());
      QCOMPARE(Get("/hello").output, std::string("<p>hello</p>"));
      QTest::qWait(200);
      QCOMPARE(Records(Window()), std::size_t{0});
    }
    QTRY_COMPARE(Rows(Window()), 1);
    QTRY_COMPARE(Cell(Window(), 0, kSize), QString("12"));
  }

  void StopRecordsNothingMore() {
    Press(Window(), command::kStart);
    Get("/hello");
    QTRY_COMPARE(Rows(Window()), 1);
    Press(Window(), command::kStop);
    QCOMPARE(Get("/hello").output, std::string("<p>hello</p>"));
    QTest::qWait(200);
    QCOMPARE(Rows(Window()), 1);
    QCOMPARE(Records(Window()), std::size_t{1});
  }

  void WithTheFilterOnARowComesOnlyWhenItsRequestFinishesAndPasses() {
    FilterSettings& filter = Window().Model().Filter();
    filter.m_bFilterByType = true;
    filter.m_arrFilterContentTypes = {u"text/*"};
    Window().OnCommand(command::kTurnOnFilter);
    Press(Window(), command::kStart);

    auto slow = CurlInBackground(kSlowPath, kSlowOptions);
    QTRY_COMPARE(Records(Window()), std::size_t{1});
    QTest::qWait(200);
    QCOMPARE(Rows(Window()), 0);  // running: no row yet
    Finish(slow);
    QTRY_COMPARE(Rows(Window()), 1);
    QCOMPARE(Cell(Window(), 0, kType), QString("text/plain"));

    Get("/big?10");  // application/octet-stream does not pass
    QTRY_COMPARE(Records(Window()), std::size_t{2});
    QTest::qWait(200);
    QCOMPARE(Rows(Window()), 1);
  }

  void AHiddenGridGetsNoRowsUntilTheNextRebuild() {
    Press(Window(), command::kStart);
    Window().OnCommand(command::kMaximizeView);
    Get("/hello");
    QTRY_COMPARE(Records(Window()), std::size_t{1});
    Window().OnCommand(command::kRestoreWindows);
    QTest::qWait(100);
    QCOMPARE(Rows(Window()), 0);
    Window().OnCommand(command::kTurnOffFilter);  // a rebuild
    QCOMPARE(Rows(Window()), 1);
    QCOMPARE(Cell(Window(), 0, kResult), QString("200"));
  }

  void ClosingWhileRecordingStopsAndDeliversTheLastMessages() {
    Press(Window(), command::kStart);
    auto stalled = CurlInBackground("/stall-header", "--max-time 10");
    QTRY_COMPARE(Records(Window()), std::size_t{1});
    AnswerNextModal([](QWidget& box) { ButtonOf(box, "Discard").click(); });  // not saved
    QVERIFY(Window().close());
    const CHttpTransaction& record = *Window().Model().Session()[0];
    QVERIFY(record.m_stEnded.wYear != 0);  // it finished, within the grace
    QVERIFY(!record.m_strResult.empty());
    QCOMPARE(StatusText(Window(), "recordingStatus"), QString("Not recording"));
    Finish(stalled);
    m_test.reset();  // and goes away cleanly
  }

  void AnAddressInUseIsSaidAndLoadedSessionsStillShow() {
    m_test.reset();
    proxy::asio::io_context io;
    proxy::tcp::acceptor taken(io, proxy::tcp::endpoint(proxy::asio::ip::address_v4::loopback(), 0));
    proxy::ProxyOptions options = TestWindow::WindowProxyOptions();
    options.listen = taken.local_endpoint();
    QString said;
    AnswerNextModal([&said](QWidget& box) {
      said = MessageText(box);
      ButtonOf(box, "OK").click();
    });
    m_test = std::make_unique<TestWindow>(options);
    Window().show();
    QTRY_VERIFY(!said.isEmpty());
    QCOMPARE(said, "Tracewell cannot listen on 127.0.0.1:" + QString::number(options.listen.port()) +
                       ": Address already in use.\nRecording is not available; saved sessions "
                       "can still be loaded and viewed.");
    QCOMPARE(StatusText(Window(), "proxyStatus"), QString("Proxy: not running"));
    QVERIFY(!Window().Toolbar().Button(command::kStart).isEnabled());
    QVERIFY(!Window().Toolbar().Button(command::kStop).isEnabled());
    QTest::keyClick(&Window(), Qt::Key_F5);  // nor can its key
    QCOMPARE(StatusText(Window(), "recordingStatus"), QString("Not recording"));
    QCOMPARE(Window().Grid().EmptyHint(),
             "Tracewell is not listening on 127.0.0.1:" + QString::number(options.listen.port()) +
                 ", so nothing can be recorded. Load opens a saved session.");

    TransactionArray session;
    session.push_back(testing::KnownRecord(u"http://h/a", u"200", u"text/html", 1));
    Window().Model().ReplaceSession(std::move(session));
    QCOMPARE(Rows(Window()), 1);
  }

  void CheckForUpdateAsksTheUpdateSite() {
    const QString site = QString::fromStdString(m_origin->Url(""));
    qputenv("TRACEWELL_UPDATE_SITE", site.toUtf8());
    UrlCatcher pages("http");
    const auto check = [&](bool yes) {
      QString said;
      AnswerNextModal([&said, yes](QWidget& box) {
        said = MessageText(box);
        ButtonOf(box, yes ? "Yes" : "OK").click();
      });
      Window().OnCommand(command::kCheckForUpdate);
      return said;
    };

    m_origin->SetFile("/version.txt", "Version: 1.0.0.1");
    QCOMPARE(check(true),
             QString("Newer version found.do you want to visit the update page for new version."));
    QCOMPARE(pages.urls, QList<QUrl>({QUrl(site + "/update.html")}));

    const QString upToDate =
        "Newer version not found.You actually are using most recent version of this Application.";
    m_origin->SetFile("/version.txt", "Version: 1.0.0.0");
    QCOMPARE(check(false), upToDate);
    m_origin->SetFile("/version.txt", "Version: 1.0.0.1\r\n");  // 18 bytes
    QCOMPARE(check(false), upToDate);
    const auto heads = m_origin->Heads();
    QCOMPARE(heads.size(), std::size_t{3});
    QVERIFY(heads[0].starts_with("GET /version.txt HTTP/1.1\r\n"));
    QVERIFY(heads[0].find("User-Agent: Microsoft Internet Explorer\r\n") != std::string::npos);

    // No update site at all: the same answer as up to date.
    qputenv("TRACEWELL_UPDATE_SITE", "http://127.0.0.1:9");
    QCOMPARE(check(false), upToDate);
    qunsetenv("TRACEWELL_UPDATE_SITE");
    QCOMPARE(pages.urls.size(), 1);
  }
};

}  // namespace tracewell::app

QTEST_MAIN(tracewell::app::LiveCaptureTest)
#include "live_capture_test.moc"
