// The toolbar's quick-filter box as a user meets it, under the offscreen platform:
// typing narrows the grid (Enter at once, otherwise when typing pauses), the
// prefixes name a column, clearing the box brings every row back, and records that
// arrive while it holds a text obey it.

#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include "window/main_toolbar.h"
#include "window/session_grid_view.h"
#include "window_test_support.h"

namespace tracewell::app {

using testing::ViewColumn;
using testing::KnownRecord;
using testing::Replay;
using testing::TestWindow;

namespace {

constexpr int kUrl = ViewColumn(GridColumn::kUrl);

TransactionArray ThreeRecords() {
  TransactionArray session;
  session.push_back(KnownRecord(u"http://a.example/Index.html", u"200", u"text/html", 200));
  session.push_back(KnownRecord(u"http://b.example/site.css", u"404", u"text/css", 1000));
  session.push_back(KnownRecord(u"http://a.example/logo.png", u"200", u"image/png", 30));
  return session;
}

QStringList Urls(CMainWindow& window) {
  QAbstractItemModel& rows = *window.Grid().model();
  QStringList urls;
  for (int row = 0; row < rows.rowCount(); ++row) urls << rows.data(rows.index(row, kUrl)).toString();
  return urls;
}

}  // namespace

class QuickFilterTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TestWindow> m_test;
  CMainWindow& Window() { return m_test->window; }
  QLineEdit& Box() { return *Window().findChild<QLineEdit*>("quickFilter"); }

  void TypeAndEnter(const QString& text) {
    Box().selectAll();
    QTest::keyClicks(&Box(), text);
    QTest::keyClick(&Box(), Qt::Key_Return);
  }

 private slots:
  void init() {
    m_test = std::make_unique<TestWindow>();
    Window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&Window()));
    Window().Model().ReplaceSession(ThreeRecords());
    QCOMPARE(Window().Grid().model()->rowCount(), 3);
  }
  void cleanup() { m_test.reset(); }

  void TheBoxSitsOnTheToolbarWithItsHintAndClearButton() {
    QCOMPARE(&Box(), &Window().Toolbar().QuickFilter());
    QCOMPARE(Box().parentWidget(), &Window().Toolbar());
    QCOMPARE(Box().placeholderText(), QString("Quick filter (URL, or method:, status:, type:, host:)"));
    QVERIFY(Box().isClearButtonEnabled());
    QVERIFY(Box().isVisible());
  }

  void TypingNarrowsTheGridOnceTypingPauses() {
    QTest::keyClicks(&Box(), "LOGO");
    QTRY_COMPARE(Urls(Window()), QStringList({"http://a.example/logo.png"}));
    QVERIFY(Window().Model().QuickFilterText() == u"LOGO");
  }

  void EnterAppliesAtOnceAndThePrefixesNameAColumn() {
    TypeAndEnter("a.example");
    QCOMPARE(Urls(Window()), QStringList({"http://a.example/Index.html", "http://a.example/logo.png"}));
    TypeAndEnter("status:404");
    QCOMPARE(Urls(Window()), QStringList({"http://b.example/site.css"}));
    TypeAndEnter("type:IMAGE");
    QCOMPARE(Urls(Window()), QStringList({"http://a.example/logo.png"}));
    TypeAndEnter("host:b.");
    QCOMPARE(Urls(Window()), QStringList({"http://b.example/site.css"}));
    TypeAndEnter("method:post");
    QCOMPARE(Urls(Window()), QStringList());
  }

  void EmptyingTheBoxBringsEveryRowBack() {
    TypeAndEnter("css");
    QCOMPARE(Window().Grid().model()->rowCount(), 1);
    // By keys: select all, delete.
    QTest::keyClick(&Box(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&Box(), Qt::Key_Backspace);
    QCOMPARE(Window().Grid().model()->rowCount(), 3);
    // By the clear button inside the box.
    TypeAndEnter("css");
    QCOMPARE(Window().Grid().model()->rowCount(), 1);
    auto* clear = Box().findChild<QToolButton*>();
    QVERIFY(clear);
    QTRY_VERIFY(clear->isVisible());
    QTest::mouseClick(clear, Qt::LeftButton);
    QVERIFY(Box().text().isEmpty());
    QCOMPARE(Window().Grid().model()->rowCount(), 3);
  }

  void RecordsThatArriveObeyTheBox() {
    TypeAndEnter("host:c.example");
    QCOMPARE(Window().Grid().model()->rowCount(), 0);
    TransactionArray arriving;
    arriving.push_back(KnownRecord(u"http://c.example/new", u"200", u"text/html", 5));
    arriving.push_back(KnownRecord(u"http://d.example/c.example", u"200", u"text/html", 5));
    Replay(Window(), arriving);
    QCOMPARE(Urls(Window()), QStringList({"http://c.example/new"}));
  }
};

}  // namespace tracewell::app

QTEST_MAIN(tracewell::app::QuickFilterTest)
#include "quick_filter_test.moc"
