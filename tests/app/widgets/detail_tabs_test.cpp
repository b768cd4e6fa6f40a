// The detail pane as a user sees it: seven tabs, each list's columns and settings, the
// rows of a realistic session's records, the resize rules and which lists offer the
// copy commands. The "Content" tab's own behaviour is in inspector_view_test.

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QHeaderView>
#include <QHelpEvent>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QTest>
#include <QToolTip>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <map>

#include "list_interaction.h"
#include "support/fake_cache_files.h"
#include "support/fake_clock.h"
#include "support/fake_dom.h"
#include "support/sample_session.h"
#include "widgets/body_tab.h"
#include "widgets/detail_list.h"
#include "widgets/detail_tabs.h"
#include "widgets/inspector_view.h"
#include "widgets/qt_clipboard.h"
#include "widgets/qt_text.h"

namespace tracewell::app {
namespace {

using interaction::ShownRows;

enum SampleRecord : std::size_t { kLogin = 0, kHome = 1, kCachedStyle = 2 };

QStringList Titles(const QTableView& list) {
  QStringList titles;
  for (int column = 0; column < list.model()->columnCount(); ++column) {
    titles << list.model()->headerData(column, Qt::Horizontal).toString();
  }
  return titles;
}

QList<int> Widths(const QTableView& list) {
  QList<int> widths;
  for (int column = 0; column < list.model()->columnCount(); ++column) {
    widths << list.columnWidth(column);
  }
  return widths;
}

QString ToolTipOver(QTableView& list, int row, int column) {
  QToolTip::hideText();  // hides after a short delay
  if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); })) return QStringLiteral("(stuck)");
  const QPoint at = interaction::CellCenter(list, row, column);
  QHelpEvent event(QEvent::ToolTip, at, list.viewport()->mapToGlobal(at));
  QApplication::sendEvent(list.viewport(), &event);
  return QToolTip::isVisible() ? QToolTip::text() : QString();
}

}  // namespace

class DetailTabsTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void sevenTabsInOrderWithHeaderActive();
  void everyListHasItsColumnsAndSettings();
  void showDetailsFillsEveryListFromTheModels();
  void showDetailsKeepsTheActiveTabAndTheContentTab();
  void clearedModelsEmptyEveryList();
  void headerListsSplitInTheMiddleAndSizeTheirColumnsFromTheLeftList();
  void dividersStandAtAThirdForCookiesAndAQuarterForContent();
  void postDataColumnsFollowThePaneQueryColumnsStay();
  void onlyListsInTheCommandRangeOfferTheMenu();
  void cutOffCellsShowTheirWholeTextAsToolTip();
  void bodyTabShowsTheStoredBodyAndThePostedOne();
  void bodyTabReadsTheStoreOnlyWhileOnShow();
  void bodyTabShowsPicturesAndHexForUnreadableOnes();

 private:
  // A record whose response body the fake store keeps as `stored`.
  void SelectStored(std::u16string_view storedHeaders, std::string stored, std::u16string_view method = u"GET");
  CDetailList& List(int id);
  void Select(SampleRecord record);
  void ShowTab(const QString& title);

  CQtClipboard m_clipboard;
  tracewell::testing::FakeWebBrowser m_browser;
  tracewell::testing::FakeSourceColorizer m_colorizer;
  CInspectorModel m_inspector{m_browser, m_colorizer, [] { return true; }};
  tracewell::testing::FakeClock m_clock{60};
  TransactionArray m_session = tracewell::testing::MakeHarSampleSession();
  std::unique_ptr<CDetailViews> m_details;
  std::unique_ptr<CDetailTabs> m_tabs;
  tracewell::testing::FakeFiles m_files;
};

void DetailTabsTest::init() {
  m_details = std::make_unique<CDetailViews>(m_clock);
  auto page = std::make_shared<tracewell::testing::FakeDomDocument>();
  page->title = u"Sample page";
  m_browser.document = page;
  m_inspector.RebuildInspectorTree();
  m_tabs = std::make_unique<CDetailTabs>(m_clipboard, m_inspector);
  m_files = {};
  m_tabs->SetCacheFiles(m_files);
}

void DetailTabsTest::cleanup() {
  if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
  m_tabs.reset();
}

CDetailList& DetailTabsTest::List(int id) {
  for (CDetailList* list : m_tabs->findChildren<CDetailList*>()) {
    if (list->ListId() == id) return *list;
  }
  qFatal("no list %d", id);
}

void DetailTabsTest::Select(SampleRecord record) {
  m_details->ShowTransaction(*m_session.at(record));
  m_tabs->ShowDetails(*m_details);
}

void DetailTabsTest::ShowTab(const QString& title) {
  for (int tab = 0; tab < m_tabs->count(); ++tab) {
    if (m_tabs->tabText(tab) == title) m_tabs->setCurrentIndex(tab);
  }
  QCOMPARE(m_tabs->tabText(m_tabs->currentIndex()), title);
  QApplication::processEvents();
}

void DetailTabsTest::sevenTabsInOrderWithHeaderActive() {
  QStringList titles;
  for (int tab = 0; tab < m_tabs->count(); ++tab) {
    titles << m_tabs->tabText(tab);
    QVERIFY(m_tabs->tabIcon(tab).isNull());
  }
  QCOMPARE(titles, (QStringList{"Header", "Cookies", "Cache Info", "Query String", "Post Data",
                                "Content", "Body"}));
  QCOMPARE(m_tabs->currentIndex(), 0);
}

void DetailTabsTest::everyListHasItsColumnsAndSettings() {
  // Widths as laid out before the first resize.
  struct Expected {
    QStringList titles;
    QList<int> widths;  // empty: set by the first resize
    bool movable;
  };
  const std::map<int, Expected> expected = {
      {268, {{"Request Headers", "Values"}, {}, true}},
      {269, {{"Response Headers", "Values"}, {}, true}},
      {262, {{"Cookie Name", "Value"}, {100, 300}, false}},
      {278, {{"Cookie Name", "Value", "Path", "Domain", "Expires"}, {100, 350, 60, 80, 180}, false}},
      {270, {{"Description", "Before Request", "After Request"}, {250, 400, 500}, false}},
      {271, {{"Parameter", "Value"}, {200, 500}, true}},
      {263, {{"Parameter", "value"}, {50, 150}, true}},
      {265, {{"Name", "Image URL", "Width", "Height", "Size", "MIME Type"},
             {100, 500, 80, 80, 100, 120},
             false}},
      {266, {{"Link Text", "Link URL"}, {200, 650}, false}},
      {267, {{"ID", "Name", "Type", "Value", "Tag Name"}, {100, 200, 100, 300, 100}, false}},
  };
  QCOMPARE(m_tabs->findChildren<CDetailList*>().size(), static_cast<qsizetype>(expected.size()));
  for (const auto& [id, want] : expected) {
    const CDetailList& list = List(id);
    QCOMPARE(Titles(list), want.titles);
    if (!want.widths.isEmpty()) QCOMPARE(Widths(list), want.widths);
    QCOMPARE(list.horizontalHeader()->sectionsMovable(), want.movable);
    QVERIFY(list.showGrid());
    QVERIFY(!list.wordWrap());
    QVERIFY(!list.verticalHeader()->isVisible());
    QCOMPARE(list.selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(list.selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(list.editTriggers(), QAbstractItemView::NoEditTriggers);
  }
}

void DetailTabsTest::showDetailsFillsEveryListFromTheModels() {
  Select(kLogin);
  QCOMPARE(ShownRows(List(268)), m_details->header.RequestRows());
  QCOMPARE(ShownRows(List(269)), m_details->header.ResponseRows());
  QCOMPARE(ShownRows(List(262)), m_details->cookies.RequestRows());
  QCOMPARE(ShownRows(List(278)), m_details->cookies.ResponseRows());
  QCOMPARE(ShownRows(List(271)), m_details->query.Rows());
  QCOMPARE(ShownRows(List(263)), m_details->postData.Rows());
  // The rows a user reads for this POST.
  QCOMPARE(ShownRows(List(268)).front(),
           (TextRow{u"Request-Line", u"POST /login?next=%2Fhome&lang=fr HTTP/1.1"}));
  QCOMPARE(ShownRows(List(262)), (TextRows{{u"sid", u"abc123"}, {u"theme", u"dark"}}));
  QCOMPARE(ShownRows(List(278)), (TextRows{{u"sid", u"def456", u"/", u"127.0.0.1",
                                        u"Fri, 01-Jan-2027 00:00:00 GMT"}}));
  QCOMPARE(ShownRows(List(271)), (TextRows{{u"next", u"%2Fhome"}, {u"lang", u"fr"}}));
  QCOMPARE(ShownRows(List(263)), (TextRows{{u"user", u"Ren\u00E9e"}, {u"pass", u"s3cr=t"}}));
  QCOMPARE(List(270).model()->rowCount(), 0);  // not in the cache before or after

  Select(kCachedStyle);
  QCOMPARE(ShownRows(List(270)), m_details->cacheInfo.Rows());
  QCOMPARE(List(270).model()->rowCount(), 13);
  QCOMPARE(ShownRows(List(270)).at(7), (TextRow{u"HitRate", u"3", u"4"}));
  QCOMPARE(ShownRows(List(269)), (TextRows{{u"(Status-Line)", u"(Response from Cache)"}}));
  QCOMPARE(List(263).model()->rowCount(), 0);
}

void DetailTabsTest::showDetailsKeepsTheActiveTabAndTheContentTab() {
  m_tabs->setCurrentIndex(2);
  QWidget* content = m_tabs->widget(5);
  CInspectorView& inspector = m_tabs->Inspector();
  QVERIFY(content->isAncestorOf(&inspector));
  inspector.Refresh();
  QCOMPARE(inspector.Tree().topLevelItem(0)->text(0), QString("Root"));
  QCOMPARE(&inspector.ShownPane(), &inspector.RootPanel());
  Select(kHome);
  QCOMPARE(m_tabs->currentIndex(), 2);
  QCOMPARE(m_tabs->widget(5), content);
  QCOMPARE(inspector.Tree().topLevelItemCount(), 1);
  QCOMPARE(inspector.Tree().currentItem()->text(0), QString("Root"));
  QCOMPARE(&inspector.ShownPane(), &inspector.RootPanel());
}

void DetailTabsTest::clearedModelsEmptyEveryList() {
  Select(kCachedStyle);
  m_details->Clear();
  m_tabs->ShowDetails(*m_details);
  for (const CDetailList* list : m_tabs->findChildren<CDetailList*>()) {
    QCOMPARE(list->model()->rowCount(), 0);
    QCOMPARE(list->model()->columnCount(), Titles(*list).size());
  }
}

void DetailTabsTest::headerListsSplitInTheMiddleAndSizeTheirColumnsFromTheLeftList() {
  for (const int paneWidth : {800, 1001}) {
    m_tabs->resize(paneWidth, 400);
    m_tabs->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_tabs.get()));
    ShowTab("Header");
    const auto* splitter = m_tabs->widget(0)->findChild<QSplitter*>();
    QVERIFY(splitter);
    const QList<int> panes = splitter->sizes();
    QVERIFY2(std::abs(panes[0] - panes[1]) <= 1, qPrintable(QString::number(panes[0] - panes[1])));
    const int left = List(268).width();
    QCOMPARE(left, panes[0]);
    QCOMPARE(Widths(List(268)), (QList<int>{left / 4, left * 3 / 4 - 4}));
    QCOMPARE(Widths(List(269)), (QList<int>{left / 4, left * 3 / 4 - 8}));
  }
}

void DetailTabsTest::dividersStandAtAThirdForCookiesAndAQuarterForContent() {
  struct Divided {
    QString tab;
    int divisor;
  };
  m_tabs->resize(900, 400);
  m_tabs->show();
  QVERIFY(QTest::qWaitForWindowExposed(m_tabs.get()));
  for (const auto& [tab, divisor] : {Divided{"Cookies", 3}, Divided{"Content", 4}}) {
    m_tabs->resize(900, 400);
    ShowTab(tab);
    const QWidget* page = m_tabs->currentWidget();
    auto* splitter = page->findChild<QSplitter*>();
    QCOMPARE(splitter->sizes().at(0), page->width() / divisor);
    splitter->setSizes({page->width() / 2, page->width() / 2});  // the user drags it
    m_tabs->resize(601, 300);
    QApplication::processEvents();
    QCOMPARE(splitter->sizes().at(0), page->width() / divisor);
  }
}

void DetailTabsTest::postDataColumnsFollowThePaneQueryColumnsStay() {
  m_tabs->resize(700, 300);
  m_tabs->show();
  QVERIFY(QTest::qWaitForWindowExposed(m_tabs.get()));
  ShowTab("Post Data");
  const int width = m_tabs->widget(4)->width();
  QCOMPARE(Widths(List(263)), (QList<int>{width / 5, width * 4 / 5 - 4}));
  ShowTab("Query String");
  QCOMPARE(Widths(List(271)), (QList<int>{200, 500}));
  ShowTab("Cache Info");
  QCOMPARE(Widths(List(270)), (QList<int>{250, 400, 500}));
}

void DetailTabsTest::onlyListsInTheCommandRangeOfferTheMenu() {
  m_tabs->resize(900, 400);
  m_tabs->show();
  QVERIFY(QTest::qWaitForWindowExposed(m_tabs.get()));
  Select(kLogin);
  const std::map<int, QString> tabOf = {{268, "Header"},      {269, "Header"},
                                        {262, "Cookies"},     {278, "Cookies"},
                                        {271, "Query String"}, {263, "Post Data"}};
  for (const auto& [id, tab] : tabOf) {
    ShowTab(tab);
    QMenu* menu = interaction::RightClick(List(id), interaction::CellCenter(List(id), 0, 0));
    QCOMPARE(menu != nullptr, id != 278);
    if (menu) menu->close();
  }
  Select(kCachedStyle);
  ShowTab("Cache Info");
  QMenu* menu = interaction::RightClick(List(270), interaction::CellCenter(List(270), 0, 0));
  QVERIFY(menu);
  interaction::Choose(*menu, "Copy Selected Rows");
  QCOMPARE(interaction::ClipboardBytes(),
           std::string("SourceUrlName  http://127.0.0.1:8080/style.css  "
                       "http://127.0.0.1:8080/style.css  \r\n"));
}

void DetailTabsTest::cutOffCellsShowTheirWholeTextAsToolTip() {
  m_tabs->resize(900, 400);
  m_tabs->show();
  QVERIFY(QTest::qWaitForWindowExposed(m_tabs.get()));
  Select(kCachedStyle);
  ShowTab("Cache Info");
  CDetailList& cache = List(270);
  // Header info: line breaks kept in the cell, shown on one line, whole in the tip.
  const QModelIndex headerInfo = cache.model()->index(8, 1);
  const QString stored = headerInfo.data().toString();
  QVERIFY(stored.contains("\r\n"));
  const auto* delegate = qobject_cast<QStyledItemDelegate*>(cache.itemDelegate());
  QVERIFY(delegate);
  QCOMPARE(delegate->displayText(stored, QLocale()),
           QString("HTTP/1.1 200 OK  Content-Type: text/css  ETag: \"c55\"  "));
  QCOMPARE(ToolTipOver(cache, 8, 1), stored);
  QCOMPARE(ToolTipOver(cache, 7, 0), QString());  // "HitRate" fits

  ShowTab("Query String");
  Select(kLogin);
  CDetailList& query = List(271);
  query.setColumnWidth(1, 10);
  QCOMPARE(ToolTipOver(query, 0, 1), QString());  // this list has no label tips
}

void DetailTabsTest::SelectStored(std::u16string_view storedHeaders, std::string stored,
                                  std::u16string_view method) {
  CHttpTransaction record;
  record.m_strMethod = method;
  record.m_strRequestHeaders = u"POST /f HTTP/1.1\r\nContent-Type: text/plain; charset=utf-8\r\n";
  record.m_strPostData = u"note=caf\u00C3\u00A9";  // UTF-8 bytes as the code page carried them
  auto entry = std::make_shared<CacheEntrySnapshot>();
  entry->LocalFileName = u"/store/1";
  entry->HeaderInfo = storedHeaders;
  record.m_pCacheInfoAfter = entry;
  m_files.files[u"/store/1"] = std::move(stored);
  m_details->ShowTransaction(record);
  m_tabs->ShowDetails(*m_details);
}

void DetailTabsTest::bodyTabShowsTheStoredBodyAndThePostedOne() {
  m_tabs->show();
  ShowTab("Body");
  CBodyTab& body = m_tabs->Body();
  SelectStored(u"HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n\r\n", R"({"a":[1]})", u"POST");
  QVERIFY(body.Request().isVisible());
  QCOMPARE(body.Request().Summary(), QString("Request body: 10 bytes; text (UTF-8)"));
  QCOMPARE(body.Request().ShownText(), QString::fromUtf8("note=caf\xC3\xA9"));
  QCOMPARE(body.Response().Summary(), QString("Response body: 9 bytes; JSON (UTF-8)"));
  QCOMPARE(body.Response().ShownText(), QString("{\n  \"a\": [\n    1\n  ]\n}"));
  QVERIFY(body.Response().findChild<QPlainTextEdit*>()->isReadOnly());

  SelectStored(u"Content-Type: text/plain\r\n", "plain", u"GET");  // a GET sends no body
  QVERIFY(!body.Request().isVisible());
  QCOMPARE(body.Response().ShownText(), QString("plain"));

  m_files.files.clear();  // the store let the entry go
  m_tabs->ShowDetails(*m_details);
  QCOMPARE(body.Response().Summary(), QString("The store no longer holds this response's body."));
  QCOMPARE(body.Response().ShownText(), QString());
  m_details->Clear();
  m_tabs->ShowDetails(*m_details);
  QCOMPARE(body.Response().Summary(), QString());
}

void DetailTabsTest::bodyTabReadsTheStoreOnlyWhileOnShow() {
  m_tabs->show();
  ShowTab("Header");
  SelectStored(u"Content-Type: text/plain\r\n", "first");
  SelectStored(u"Content-Type: text/plain\r\n", "second");
  QVERIFY(m_files.readLimits.empty());
  ShowTab("Body");
  QCOMPARE(m_files.readLimits.size(), std::size_t{1});
  QCOMPARE(m_tabs->Body().Response().ShownText(), QString("second"));
  ShowTab("Header");
  ShowTab("Body");  // nothing changed: no second read
  QCOMPARE(m_files.readLimits.size(), std::size_t{1});
}

void DetailTabsTest::bodyTabShowsPicturesAndHexForUnreadableOnes() {
  m_tabs->show();
  ShowTab("Body");
  QImage image(3, 2, QImage::Format_RGB32);
  image.fill(Qt::red);
  QByteArray png;
  QBuffer buffer(&png);
  QVERIFY(image.save(&buffer, "PNG"));
  SelectStored(u"Content-Type: image/png\r\n", png.toStdString());
  CBodyPane& response = m_tabs->Body().Response();
  QVERIFY(response.ShowsPicture());
  QCOMPARE(response.Summary(), QString("Response body: %1 bytes; image (image/png)").arg(png.size()));

  SelectStored(u"Content-Type: image/png\r\n", "not a picture");
  QVERIFY(!response.ShowsPicture());
  QCOMPARE(response.ShownText(),
           QString("00000000  6e 6f 74 20 61 20 70 69  63 74 75 72 65" + QString(11, ' ') + "|not a picture|\n"));
}
}  // namespace tracewell::app

QTEST_MAIN(tracewell::app::DetailTabsTest)
#include "detail_tabs_test.moc"
