// The main window as a user meets it, under the offscreen platform: the toolbar and
// its menus, the grid (sorting, rows, keys, selection, copy), the split and the view
// modes, Clear, the filter and find dialogs, the Help and Tools menus, and a
// screenshot of a realistic session.

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QScrollBar>
#include <QSet>
#include <QSignalSpy>
#include <QSplitterHandle>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <QWheelEvent>

#include "proxy/interception.h"
#include "session_io/log_file.h"
#include "support/sample_session.h"
#include "support/temp_dir.h"
#include "views/main_commands.h"
#include "widgets/detail_list.h"
#include "widgets/detail_tabs.h"
#include "widgets/qt_text.h"
#include "window/main_splitter.h"
#include "window/main_toolbar.h"
#include "window/session_grid_view.h"
#include "window_test_support.h"

namespace tracewell::app {

using testing::ViewColumn;
using testing::AnswerNextModal;
using testing::Cell;
using testing::StatusText;
using testing::AnswerNextPopup;
using testing::ButtonOf;
using testing::ChooseFile;
using testing::KnownRecord;
using testing::MessageText;
using testing::Replay;
using testing::TestWindow;
using testing::UrlCatcher;

namespace {

constexpr int kNo = ViewColumn(GridColumn::kNumber);
constexpr int kSize = ViewColumn(GridColumn::kSize);
constexpr int kUrl = ViewColumn(GridColumn::kUrl);

// Three records whose cells are known; the second URL holds a euro sign (0x80 in
// the clipboard's code page) and the third a character the code page lacks.
TransactionArray KnownSession() {
  TransactionArray session;
  session.push_back(KnownRecord(u"http://h/a?x=1", u"200", u"text/html", 200));
  session.push_back(KnownRecord(u"http://h/b\u20AC", u"404", u"text/css", 1000));
  session.push_back(KnownRecord(u"http://h/c\u0101", u"200", u"image/png", 30));
  return session;
}

QStringList Column(CMainWindow& window, int column) {
  QStringList texts;
  for (int row = 0; row < window.Grid().model()->rowCount(); ++row) texts << Cell(window, row, column);
  return texts;
}

QList<int> SelectedRows(CMainWindow& window) {
  QList<int> rows;
  for (const QModelIndex& index : window.Grid().selectionModel()->selectedRows()) rows << index.row();
  std::sort(rows.begin(), rows.end());
  return rows;
}

QList<int> CoreSelectedRows(CMainWindow& window) {
  QList<int> rows;
  const CSessionGridModel& grid = window.Model().Grid();
  for (std::size_t row = 0; row < grid.RowCount(); ++row) {
    if (grid.IsSelected(row)) rows << static_cast<int>(row);
  }
  return rows;
}

QPoint CellCenter(CMainWindow& window, int row, int column) {
  return window.Grid().visualRect(window.Grid().model()->index(row, column)).center();
}

void ClickCell(CMainWindow& window, int row, int column,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QTest::mouseClick(window.Grid().viewport(), Qt::LeftButton, modifiers, CellCenter(window, row, column));
}

void ClickHeader(CMainWindow& window, int column) {
  QHeaderView& header = *window.Grid().horizontalHeader();
  const QPoint at(header.sectionViewportPosition(column) + header.sectionSize(column) / 2,
                  header.height() / 2);
  QTest::mouseClick(header.viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

// Right-clicks a cell of the grid; the list menu opens without blocking.
QMenu& RightClickCell(CMainWindow& window, int row, int column) {
  const QPoint at = CellCenter(window, row, column);
  QContextMenuEvent event(QContextMenuEvent::Mouse, at, window.Grid().viewport()->mapToGlobal(at));
  QApplication::sendEvent(window.Grid().viewport(), &event);
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  if (!menu) qFatal("no list menu opened");
  return *menu;
}

QAction& ActionOf(QMenu& menu, const QString& text) {
  for (QAction* action : menu.actions()) {
    if (action->text() == text) return *action;
  }
  qFatal("no menu item \"%s\"", qPrintable(text));
}

// Clicks a menu item the way a user does; the menu closes, then the command runs.
void Choose(QMenu& menu, const QString& text) {
  QTest::mouseClick(&menu, Qt::LeftButton, Qt::NoModifier,
                    menu.actionGeometry(&ActionOf(menu, text)).center());
}

// The items of a menu as "text=id", separators as "-", greyed items with "(grey)".
QStringList MenuItems(QMenu& menu) {
  QStringList items;
  for (QAction* action : menu.actions()) {
    if (action->isSeparator()) {
      items << "-";
      continue;
    }
    items << action->text() + u'=' + QString::number(action->data().toInt()) +
                 (action->isEnabled() ? "" : "(grey)");
  }
  return items;
}

// Opens a toolbar button's menu with a click on the button (whole drop-downs) or on
// its arrow (split buttons) and hands it to `use`, which must close it.
void OpenMenuOf(CMainWindow& window, int commandId, std::function<void(QMenu&)> use) {
  QToolButton& button = window.Toolbar().Button(commandId);
  AnswerNextPopup(std::move(use));
  const bool split = button.popupMode() == QToolButton::MenuButtonPopup;
  const QPoint at = split ? QPoint(button.width() - 4, button.height() / 2) : button.rect().center();
  QTest::mouseClick(&button, Qt::LeftButton, Qt::NoModifier, at);
}

void ChooseFromToolbar(CMainWindow& window, int commandId, const QString& item) {
  OpenMenuOf(window, commandId, [item](QMenu& menu) { Choose(menu, item); });
}

// The first column of a list of the detail tabs, by its list id.
QStringList DetailListFirstColumn(CMainWindow& window, int listId) {
  for (const CDetailList* list : window.Tabs().findChildren<CDetailList*>()) {
    if (list->ListId() != listId) continue;
    QAbstractItemModel& rows = *list->model();
    QStringList texts;
    for (int row = 0; row < rows.rowCount(); ++row) texts << rows.data(rows.index(row, 0)).toString();
    return texts;
  }
  qFatal("no detail list %d", listId);
}

// Records whose rows tell them apart by their type, "type/0" and on.
TransactionArray NumberedSession(int count) {
  TransactionArray session;
  for (int index = 0; index < count; ++index) {
    const std::u16string number = FromQString(QString::number(index));
    session.push_back(KnownRecord(u"http://h/" + number, u"200", u"type/" + number, index));
  }
  return session;
}

// The type of the record the tabs show, from its response headers.
QString ShownType(CMainWindow& window) {
  for (const TextRow& row : window.Model().Details().header.ResponseRows()) {
    if (row.size() == 2 && row[0] == u"Content-Type") return ToQString(row[1]);
  }
  return {};
}

// Records that arrive from the capture while the grid's views are held back, so that
// they reach the grid as one insert.
void ArriveInOneBatch(CMainWindow& window, TransactionArray records) {
  const CGridTableModel::CBatch batch(dynamic_cast<CGridTableModel&>(*window.Grid().model()));
  for (auto& record : records) window.Model().OnTransactionStarted(std::move(record));
}

// Turns the mouse wheel over the grid: positive notches scroll up.
void TurnWheel(CMainWindow& window, int notches) {
  QWidget& viewport = *window.Grid().viewport();
  const QPointF at = viewport.rect().center();
  QWheelEvent wheel(at, viewport.mapToGlobal(at), QPoint(), QPoint(0, notches * 120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(&viewport, &wheel);
}

bool AtTheEnd(CMainWindow& window) {
  const QScrollBar& bar = *window.Grid().verticalScrollBar();
  return bar.maximum() > 0 && bar.value() == bar.maximum();
}

// How many pixels of the grid's middle third differ from its background.
int InkInTheMiddle(CMainWindow& window) {
  QWidget& viewport = *window.Grid().viewport();
  const QImage shot = viewport.grab().toImage();
  const QRgb background = shot.pixel(shot.width() - 2, shot.height() - 2);
  int ink = 0;
  for (int y = shot.height() / 3; y < shot.height() * 2 / 3; ++y) {
    for (int x = 0; x < shot.width(); ++x) ink += shot.pixel(x, y) != background ? 1 : 0;
  }
  return ink;
}

int TopShare(CMainSplitter& splitter) {
  const QList<int> sizes = splitter.sizes();
  return sizes[0] * CMainSplitter::kWholeShare / (sizes[0] + sizes[1]);
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TestWindow> m_test;
  CMainWindow& Window() { return m_test->window; }

  void LoadKnownSession() {
    Window().Model().ReplaceSession(KnownSession());
    QCOMPARE(Window().Grid().model()->rowCount(), 3);
  }

 private slots:
  void init() {
    m_test = std::make_unique<TestWindow>();
    Window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&Window()));
  }
  void cleanup() { m_test.reset(); }

  void ASessionNamedAtStartIsLoadedAndShown() {
    testing::TempDir dir;
    QVERIFY(!SaveLogFile(dir / "five.elf", testing::MakeRealisticSession(5)));
    Window().OpenSession(dir / "five.elf");
    QCOMPARE(Window().Grid().model()->rowCount(), 5);
    QCOMPARE(StatusText(Window(), "recordsStatus"), QString("Records: 5"));
  }

  void ToolbarButtonsInOneRowWithTheirTextsAndSeparators() {
    QStringList layout;
    for (QAction* action : Window().Toolbar().actions()) {
      if (action->isSeparator()) {
        layout << "|";
        continue;
      }
      QWidget* widget = Window().Toolbar().widgetForAction(action);
      if (widget == &Window().Toolbar().QuickFilter()) {
        layout << widget->objectName();
        continue;
      }
      auto* button = qobject_cast<QToolButton*>(widget);
      QVERIFY(button);
      QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
      QVERIFY(!button->icon().isNull());
      QString kind = button->defaultAction()->isCheckable() ? "check" : "plain";
      if (button->menu()) {
        kind = button->popupMode() == QToolButton::MenuButtonPopup ? "split" : "drop-down";
      }
      layout << button->text() + u':' + kind;
    }
    QCOMPARE(layout, QStringList({"Start:check", "Stop:check", "|", "Browser:plain", "|", "Clear:plain", "|",
                                  "Load:plain", "Save:split", "|", "View:drop-down",
                                  "Filter:split", "|", "Tools:drop-down", "|",
                                  "Help:drop-down", "|", "quickFilter"}));
    // One row: every button shares the toolbar's line.
    const int top = Window().Toolbar().Button(command::kStart).y();
    QCOMPARE(Window().Toolbar().Button(command::kHelp).y(), top);
    QCOMPARE(Window().Toolbar().Button(command::kStart).iconSize(), QSize(16, 16));
  }

  void MenusCarryTheirItemsIdsAndSeparators() {
    CMainToolbar& toolbar = Window().Toolbar();
    QCOMPARE(MenuItems(toolbar.Menu(215)),
             QStringList({"Save...=32781", "-", "Export to XML=32805", "Export to HAR=32830", "-",
                          "Export Grid to CSV=32803", "Export Grid to Text=32804"}));
    QCOMPARE(MenuItems(toolbar.Menu(212)),
             QStringList({"Maximize Session Grid=32806", "Maximize Session View=32807", "-",
                          "Restore Windows=32826"}));
    QCOMPARE(MenuItems(toolbar.Menu(216)),
             QStringList({"Clear Cookies and Caches...=32792", "-", "Clear All Cookies=32790",
                          "Clear All Caches=32791", "-", "Export CA Certificate...=32831", "-",
                          "Open Browser=32832"}));
    QCOMPARE(MenuItems(toolbar.Menu(213)),
             QStringList({"Help Topics=32787", "-", "Check for Update=32788",
                          "Technical Support=32789", "-", "About=32784"}));
    QCOMPARE(&toolbar.Menu(215), toolbar.Button(command::kSave).menu());
    QCOMPARE(&toolbar.Menu(205), toolbar.Button(command::kFilter).menu());
    QCOMPARE(&toolbar.Menu(212), toolbar.Button(command::kView).menu());
  }

  void TheFilterMenuGreysTheItemThatWouldChangeNothing() {
    QStringList whenOff;
    OpenMenuOf(Window(), command::kFilter, [&](QMenu& menu) {
      whenOff = MenuItems(menu);
      Choose(menu, "Turn On Filter");
    });
    QCOMPARE(whenOff, QStringList({"Filter=32776", "Find...=32783", "-", "Turn On Filter=32802",
                                   "Turn Off Filter=32793(grey)"}));
    QVERIFY(Window().Model().Filter().m_bFilterOn);
    QStringList whenOn;
    OpenMenuOf(Window(), command::kFilter, [&](QMenu& menu) {
      whenOn = MenuItems(menu);
      menu.close();
    });
    QCOMPARE(whenOn, QStringList({"Filter=32776", "Find...=32783", "-",
                                  "Turn On Filter=32802(grey)", "Turn Off Filter=32793"}));
  }

  void StartAndStopAreARadioPairWithStopCheckedAtFirst() {
    QToolButton& start = Window().Toolbar().Button(command::kStart);
    QToolButton& stop = Window().Toolbar().Button(command::kStop);
    QVERIFY(stop.isChecked() && !start.isChecked());
    QCOMPARE(StatusText(Window(), "recordingStatus"), QString("Not recording"));
    QVERIFY(StatusText(Window(), "proxyStatus").startsWith("Proxy: 127.0.0.1:"));
    QTest::mouseClick(&start, Qt::LeftButton);
    QVERIFY(start.isChecked() && !stop.isChecked());
    QTest::mouseClick(&start, Qt::LeftButton);  // Start while on changes nothing
    QVERIFY(start.isChecked() && !stop.isChecked());
    QCOMPARE(StatusText(Window(), "recordingStatus"), QString("Recording"));
    QTest::mouseClick(&stop, Qt::LeftButton);
    QVERIFY(stop.isChecked() && !start.isChecked());
    QCOMPARE(StatusText(Window(), "recordingStatus"), QString("Not recording"));
  }

  void TheGridIsAReportListWithTheColumnsOfTheSession() {
    LoadKnownSession();
    CSessionGridView& grid = Window().Grid();
    QStringList titles;
    QList<int> widths;
    for (int column = 0; column < 10; ++column) {
      titles << grid.model()->headerData(column, Qt::Horizontal).toString();
      widths << grid.columnWidth(column);
    }
    QCOMPARE(titles, QStringList({"No.", "Started", "Duration(s)", "Sent", "Method", "Result",
                                  "Size", "Type", "URL", "IP Address"}));
    QCOMPARE(widths, QList<int>({50, 100, 80, 70, 70, 80, 70, 70, 450, 100}));
    QCOMPARE(grid.selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(grid.selectionMode(), QAbstractItemView::ExtendedSelection);
    QVERIFY(grid.showGrid());
    QVERIFY(!grid.wordWrap());
    QVERIFY(grid.horizontalHeader()->sectionsMovable());
    QCOMPARE(Column(Window(), kNo), QStringList({"0", "1", "2"}));
    QCOMPARE(Cell(Window(), 0, 1), QString("9:5:3 45"));
    QCOMPARE(Cell(Window(), 0, 2), QString("1.250"));

    // A resize puts dragged widths back.
    grid.setColumnWidth(kUrl, 90);
    Window().resize(Window().width() + 40, Window().height());
    QTRY_COMPARE(grid.columnWidth(kUrl), 450);
  }

  void AHeaderClickSortsAsTextAndShowsTheArrow() {
    LoadKnownSession();
    ClickCell(Window(), 1, kUrl);  // the record sized 1000
    ClickHeader(Window(), kSize);
    QCOMPARE(Column(Window(), kSize), QStringList({"1000", "200", "30"}));
    QHeaderView& header = *Window().Grid().horizontalHeader();
    QCOMPARE(header.sortIndicatorSection(), kSize);
    QCOMPARE(header.sortIndicatorOrder(), Qt::AscendingOrder);
    QVERIFY(header.isSortIndicatorShown());
    // The selection went with its row, in the view and in the core.
    QCOMPARE(SelectedRows(Window()), QList<int>({0}));
    QCOMPARE(CoreSelectedRows(Window()), QList<int>({0}));

    ClickHeader(Window(), kSize);
    QCOMPARE(Column(Window(), kSize), QStringList({"30", "200", "1000"}));
    QCOMPARE(header.sortIndicatorOrder(), Qt::DescendingOrder);
    QCOMPARE(Column(Window(), kNo), QStringList({"2", "0", "1"}));  // rows keep their numbers
    QCOMPARE(SelectedRows(Window()), QList<int>({2}));
    QCOMPARE(CoreSelectedRows(Window()), QList<int>({2}));
  }

  void ARowClickAndTheArrowKeysShowARecord() {
    LoadKnownSession();
    ClickCell(Window(), 1, kUrl);
    QCOMPARE(Window().Model().Details().header.RequestRows().empty(), false);
    QVERIFY(DetailListFirstColumn(Window(), kRequestHeaderList.id).contains("Host"));
    QVERIFY(DetailListFirstColumn(Window(), kResponseHeaderList.id).contains("Content-Type"));
    const TextRows shownForB = Window().Model().Details().header.ResponseRows();

    // Down shows the row below the highest selected one, and the view moves there.
    QTest::keyClick(&Window().Grid(), Qt::Key_Down);
    QCOMPARE(SelectedRows(Window()), QList<int>({2}));
    QVERIFY(Window().Model().Details().header.ResponseRows() != shownForB);
    const TextRows shownForC = Window().Model().Details().header.ResponseRows();
    QTest::keyClick(&Window().Grid(), Qt::Key_Down);  // on the last row: nothing new
    QCOMPARE(Window().Model().Details().header.ResponseRows(), shownForC);
    QTest::keyClick(&Window().Grid(), Qt::Key_Up);
    QCOMPARE(Window().Model().Details().header.ResponseRows(), shownForB);
    QCOMPARE(CoreSelectedRows(Window()), QList<int>({1}));

    // A right click shows nothing.
    ClickCell(Window(), 0, kUrl);
    const TextRows shownForA = Window().Model().Details().header.ResponseRows();
    QTest::mouseClick(Window().Grid().viewport(), Qt::RightButton, {}, CellCenter(Window(), 2, kUrl));
    QCOMPARE(Window().Model().Details().header.ResponseRows(), shownForA);
  }

  void RowKeysMoveTheSelectionByPagesAndToTheEndsAndTheTabsFollow() {
    Window().Model().ReplaceSession(NumberedSession(60));
    CSessionGridView& grid = Window().Grid();
    QScrollBar& bar = *grid.verticalScrollBar();
    const auto expectRow = [this](int row) {
      QCOMPARE(SelectedRows(Window()), QList<int>({row}));
      QCOMPARE(CoreSelectedRows(Window()), QList<int>({row}));
      QCOMPARE(ShownType(Window()), "type/" + QString::number(row));
    };
    QTest::keyClick(&grid, Qt::Key_Home);  // from no row at all
    expectRow(0);
    QCOMPARE(bar.value(), 0);
    QVERIFY(bar.maximum() > 0);  // more rows than the grid shows

    QTest::keyClick(&grid, Qt::Key_PageDown);
    const int page = SelectedRows(Window()).value(0);
    QVERIFY(page > 1 && page < 59);
    expectRow(page);
    QTest::keyClick(&grid, Qt::Key_PageDown);
    const int secondPage = SelectedRows(Window()).value(0);
    QVERIFY(secondPage > page);
    expectRow(secondPage);
    QVERIFY(bar.value() > 0);
    QTest::keyClick(&grid, Qt::Key_PageUp);
    QVERIFY(SelectedRows(Window()).value(0) < secondPage);
    expectRow(SelectedRows(Window()).value(0));

    QTest::keyClick(&grid, Qt::Key_End);
    expectRow(59);
    QCOMPARE(bar.value(), bar.maximum());
    QTest::keyClick(&grid, Qt::Key_Home);
    expectRow(0);
    QCOMPARE(bar.value(), 0);
    QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
    expectRow(59);
    QCOMPARE(bar.value(), bar.maximum());
    QTest::keyClick(&grid, Qt::Key_PageUp);
    QVERIFY(SelectedRows(Window()).value(0) < 59);
    expectRow(SelectedRows(Window()).value(0));
    QTest::keyClick(&grid, Qt::Key_Home, Qt::ControlModifier);
    expectRow(0);
    QCOMPARE(bar.value(), 0);

    // Shift extends the selection; the tabs show where the keys went.
    QTest::keyClick(&grid, Qt::Key_PageDown, Qt::ShiftModifier);
    QCOMPARE(SelectedRows(Window()).size(), page + 1);
    QCOMPARE(CoreSelectedRows(Window()), SelectedRows(Window()));
    QCOMPARE(ShownType(Window()), "type/" + QString::number(page));
  }

  void NewRowsComeIntoViewWhileTheLastRowIsInView() {
    CSessionGridView& grid = Window().Grid();
    QScrollBar& bar = *grid.verticalScrollBar();
    ArriveInOneBatch(Window(), NumberedSession(40));
    QCOMPARE(grid.model()->rowCount(), 40);
    QVERIFY(AtTheEnd(Window()));  // the empty grid had its end in view
    for (int more = 0; more < 3; ++more) {
      Window().Model().OnTransactionStarted(KnownRecord(u"http://h/one", u"200", u"text/html", 1));
      QVERIFY(AtTheEnd(Window()));
    }

    // Scrolled up: the rows arrive below and the view stays.
    TurnWheel(Window(), 3);
    const int readingAt = bar.value();
    QVERIFY(readingAt < bar.maximum());
    ArriveInOneBatch(Window(), NumberedSession(5));
    QCOMPARE(grid.model()->rowCount(), 48);
    QCOMPARE(bar.value(), readingAt);
    Window().Model().OnTransactionStarted(KnownRecord(u"http://h/one", u"200", u"text/html", 1));
    QCOMPARE(bar.value(), readingAt);

    // Back at the end, it follows again.
    TurnWheel(Window(), -100);
    QVERIFY(AtTheEnd(Window()));
    ArriveInOneBatch(Window(), NumberedSession(5));
    QCOMPARE(grid.model()->rowCount(), 54);
    QVERIFY(AtTheEnd(Window()));
    const QRect last = grid.visualRect(grid.model()->index(53, 0));
    QVERIFY(grid.viewport()->rect().contains(last));

    // A selected last row follows too, even where the view has left it.
    ClickCell(Window(), 53, kUrl);
    grid.verticalScrollBar()->setValue(0);
    Window().Model().OnTransactionStarted(KnownRecord(u"http://h/one", u"200", u"text/html", 1));
    QVERIFY(AtTheEnd(Window()));
    QCOMPARE(SelectedRows(Window()), QList<int>({53}));  // following moves the view, not the selection
  }

  void TheEmptyGridSaysHowToRecordUntilItsFirstRow() {
    const QString address = "127.0.0.1:" + QString::number(Window().Capture().Endpoint().port());
    QCOMPARE(Window().Grid().EmptyHint(),
             "Set " + address + " as the browser's HTTP and HTTPS proxy (or curl -x http://" + address +
                 "), then press Start.");
    QCOMPARE(Window().Grid().model()->rowCount(), 0);  // painted, not a row
    const int hint = InkInTheMiddle(Window());
    QVERIFY2(hint > 200, qPrintable(QString::number(hint)));

    Window().Model().OnTransactionStarted(KnownRecord(u"http://h/one", u"200", u"text/html", 1));
    QCOMPARE(InkInTheMiddle(Window()), 0);
    AnswerNextModal([](QWidget& box) { ButtonOf(box, "Discard").click(); });  // not saved
    QTest::keyClick(&Window(), Qt::Key_L, Qt::ControlModifier);  // Clear
    QCOMPARE(Window().Grid().model()->rowCount(), 0);
    QCOMPARE(InkInTheMiddle(Window()), hint);

    // While HTTPS is intercepted, a second line says how to trust the authority.
    testing::TempDir dir;
    proxy::InterceptionSettings https;
    https.authorityDirectory = dir / "ca";
    auto options = TestWindow::WindowProxyOptions();
    options.interception = proxy::CInterception::Make(https).interception;
    m_test = std::make_unique<TestWindow>(options);
    QVERIFY(Window().Grid().EmptyHint().endsWith(
        "then press Start.\nTo record HTTPS, trust Tracewell's certificate authority: "
        "Tools > Export CA Certificate..."));
  }

  void TheSortArrowGoesWhenTheRowsLeaveItsOrder() {
    LoadKnownSession();
    QHeaderView& header = *Window().Grid().horizontalHeader();
    ClickHeader(Window(), kUrl);
    QCOMPARE(header.sortIndicatorSection(), kUrl);
    // A row that belongs at the end keeps the arrow; one that does not takes it away.
    Window().Model().OnTransactionStarted(KnownRecord(u"http://h/z", u"200", u"text/html", 1));
    QCOMPARE(header.sortIndicatorSection(), kUrl);
    Window().Model().OnTransactionStarted(KnownRecord(u"http://h/0", u"200", u"text/html", 1));
    QCOMPARE(header.sortIndicatorSection(), -1);

    // A rebuild brings the rows back in arrival order.
    ClickHeader(Window(), kSize);
    QCOMPARE(header.sortIndicatorSection(), kSize);
    Window().OnCommand(command::kTurnOffFilter);
    QCOMPARE(header.sortIndicatorSection(), -1);
    QCOMPARE(Column(Window(), kSize), QStringList({"200", "1000", "30", "1", "1"}));
    ClickHeader(Window(), kSize);
    QCOMPARE(header.sortIndicatorSection(), kSize);
    QCOMPARE(header.sortIndicatorOrder(), Qt::DescendingOrder);  // the same header again
    AnswerNextModal([](QWidget& box) { ButtonOf(box, "Discard").click(); });  // two records unsaved
    QTest::mouseClick(&Window().Toolbar().Button(command::kClear), Qt::LeftButton);
    QCOMPARE(header.sortIndicatorSection(), -1);

    // A running request whose sorted cell fills in out of order takes it away too.
    Window().Model().ReplaceSession(KnownSession());
    ClickHeader(Window(), kSize);
    CHttpTransaction& first = *Window().Model().Grid().RowRecord(0);
    first.m_nSize = 9;
    Window().Model().Grid().UpdateTransactionRow(first, 0x40);
    QCOMPARE(header.sortIndicatorSection(), -1);
  }

  void TheSelectionIsTheSameInTheViewAndTheCore() {
    LoadKnownSession();
    ClickCell(Window(), 0, kUrl);
    ClickCell(Window(), 2, kUrl, Qt::ControlModifier);
    QCOMPARE(SelectedRows(Window()), QList<int>({0, 2}));
    QCOMPARE(CoreSelectedRows(Window()), QList<int>({0, 2}));

    Choose(RightClickCell(Window(), 0, kUrl), "Invert Selection");
    QCOMPARE(CoreSelectedRows(Window()), QList<int>({1}));
    QCOMPARE(SelectedRows(Window()), QList<int>({1}));

    QTest::keyClick(&Window().Grid(), Qt::Key_A);  // A alone selects nothing
    QCOMPARE(SelectedRows(Window()), QList<int>({1}));
    QTest::keyClick(&Window().Grid(), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(SelectedRows(Window()), QList<int>({0, 1, 2}));
    QCOMPARE(CoreSelectedRows(Window()), QList<int>({0, 1, 2}));
  }

  void CopyCommandsPutTheGridsTextOnTheClipboard() {
    LoadKnownSession();
    QClipboard& clipboard = *QGuiApplication::clipboard();
    const QString rowA = "0  9:5:3 45  1.250  120  GET  200  200  text/html  http://h/a?x=1  127.0.0.1  \r\n";
    const QString rowB =
        QStringLiteral("1  9:5:3 45  1.250  120  GET  404  1000  text/css  http://h/b\u20AC  127.0.0.1  \r\n");
    const QString rowC = "2  9:5:3 45  1.250  120  GET  200  30  image/png  http://h/c?  127.0.0.1  \r\n";

    Choose(RightClickCell(Window(), 1, kUrl), "Copy Cell");
    QCOMPARE(clipboard.text(), QStringLiteral("http://h/b\u20AC"));
    Choose(RightClickCell(Window(), 2, kUrl), "Copy Cell");
    QCOMPARE(clipboard.text(), QString("http://h/c?"));  // the code page has no U+0101
    Choose(RightClickCell(Window(), 0, kSize), "Copy Current Column");
    QCOMPARE(clipboard.text(), QString("200\r\n1000\r\n30\r\n"));
    Choose(RightClickCell(Window(), 0, kSize), "Copy All Rows");
    QCOMPARE(clipboard.text(), rowA + rowB + rowC);

    ClickCell(Window(), 2, kUrl);
    ClickCell(Window(), 0, kUrl, Qt::ControlModifier);
    Choose(RightClickCell(Window(), 0, kUrl), "Copy Selected Rows");
    QCOMPARE(clipboard.text(), rowA + rowC);
    ClickCell(Window(), 1, 0);
    QTest::keyClick(&Window().Grid(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboard.text(), rowB);
    QTest::keyClick(&Window().Grid(), Qt::Key_C);  // C alone copies nothing
    QCOMPARE(clipboard.text(), rowB);

    // An empty cell leaves the clipboard as it was; below the rows there is no menu.
    Window().Model().Session()[0]->m_strMimeType.clear();
    Window().Model().RebuildGrid();
    Choose(RightClickCell(Window(), 0, 7), "Copy Cell");
    QCOMPARE(clipboard.text(), rowB);
    const QPoint below(10, Window().Grid().viewport()->height() - 5);
    QContextMenuEvent event(QContextMenuEvent::Mouse, below,
                            Window().Grid().viewport()->mapToGlobal(below));
    QApplication::sendEvent(Window().Grid().viewport(), &event);
    QVERIFY(!QApplication::activePopupWidget());
  }

  void TheSplitGivesTheGrid35PercentAndHoldsItsProportion() {
    CMainSplitter& splitter = Window().Splitter();
    QCOMPARE(splitter.orientation(), Qt::Vertical);
    QCOMPARE(splitter.widget(0), &Window().Grid());
    QCOMPARE(splitter.widget(1), &Window().Tabs());
    QVERIFY(qAbs(TopShare(splitter) - 3500) < 30);
    Window().resize(Window().width(), Window().height() + 300);
    QTRY_VERIFY(qAbs(TopShare(splitter) - 3500) < 30);

    // A dragged split is the new proportion.
    QSplitterHandle& handle = *splitter.handle(1);
    const QPoint middle = handle.rect().center();
    QTest::mousePress(&handle, Qt::LeftButton, {}, middle);
    QTest::mouseMove(&handle, middle + QPoint(0, 120));
    QTest::mouseRelease(&handle, Qt::LeftButton, {}, middle + QPoint(0, 120));
    const int dragged = splitter.TopShare();
    QVERIFY(dragged > 4000);
    Window().resize(Window().width(), Window().height() - 200);
    QTRY_VERIFY(qAbs(TopShare(splitter) - dragged) < 30);
  }

  void ViewModesShowOnePaneOrBoth() {
    LoadKnownSession();
    ChooseFromToolbar(Window(), command::kView, "Maximize Session Grid");
    QVERIFY(Window().Grid().isVisible());
    QVERIFY(!Window().Tabs().isVisible());
    ChooseFromToolbar(Window(), command::kView, "Maximize Session View");
    QVERIFY(!Window().Grid().isVisible());
    QVERIFY(Window().Tabs().isVisible());
    QCOMPARE(Window().Model().Mode(), ViewMode::kViewOnly);

    // A record that arrives now gets no row, not even after Restore Windows, and a
    // record that changes meanwhile keeps its row as it was.
    CHttpTransaction& first = *Window().Model().Session().front();
    const QString shownResult = Cell(Window(), 0, ViewColumn(GridColumn::kResult));
    first.m_strResult = u"599";
    Window().Model().OnTransactionUpdated(first, kMaskResult);
    Window().Model().OnTransactionStarted(KnownRecord(u"http://h/d", u"200", u"text/html", 1));
    ChooseFromToolbar(Window(), command::kView, "Restore Windows");
    QVERIFY(Window().Grid().isVisible() && Window().Tabs().isVisible());
    QVERIFY(qAbs(TopShare(Window().Splitter()) - 3500) < 30);
    QCOMPARE(Window().Grid().model()->rowCount(), 3);
    QCOMPARE(Cell(Window(), 0, ViewColumn(GridColumn::kResult)), shownResult);
    QCOMPARE(StatusText(Window(), "recordsStatus"), QString("Records: 4"));
    // The next rebuild shows both.
    Window().OnCommand(command::kTurnOffFilter);
    QCOMPARE(Window().Grid().model()->rowCount(), 4);
    QCOMPARE(Cell(Window(), 0, ViewColumn(GridColumn::kResult)), QString("599"));
  }

  void ClearEmptiesTheGridTheTabsAndTheCountButKeepsTheRecords() {
    LoadKnownSession();
    ClickCell(Window(), 0, kUrl);
    QVERIFY(!DetailListFirstColumn(Window(), kRequestHeaderList.id).isEmpty());
    QTest::mouseClick(&Window().Toolbar().Button(command::kClear), Qt::LeftButton);
    QCOMPARE(Window().Grid().model()->rowCount(), 0);
    QVERIFY(DetailListFirstColumn(Window(), kRequestHeaderList.id).isEmpty());
    QCOMPARE(StatusText(Window(), "recordsStatus"), QString("Records: 0"));
    QCOMPARE(Window().Model().Session().size(), 3u);
    // Cleared records stay out of every rebuild.
    Window().OnCommand(command::kTurnOffFilter);
    QCOMPARE(Window().Grid().model()->rowCount(), 0);
  }

  void UnsavedRecordsAreOfferedForSavingBeforeClearAndClose() {
    LoadKnownSession();  // a loaded session is saved already: Clear asks nothing
    Window().OnCommand(command::kClear);
    QCOMPARE(StatusText(Window(), "recordsStatus"), QString("Records: 0"));

    Window().Model().OnTransactionStarted(KnownRecord(u"http://h/new", u"200", u"text/html", 1));
    QString question;
    AnswerNextModal([&question](QWidget& box) {
      question = MessageText(box);
      ButtonOf(box, "Cancel").click();
    });
    Window().OnCommand(command::kClear);
    QCOMPARE(question, QString("Save changes to the session?"));
    QCOMPARE(Window().Grid().model()->rowCount(), 1);  // cancelled: nothing cleared
    AnswerNextModal([](QWidget& box) { ButtonOf(box, "Cancel").click(); });
    QVERIFY(!Window().close());
    QVERIFY(Window().isVisible());

    // Save writes the log file; then nothing is left to save, and closing asks nothing.
    testing::TempDir dir;
    const QString file = QString::fromStdString((dir / "kept.elf").string());
    AnswerNextModal([&file](QWidget& box) {
      AnswerNextModal([&file](QWidget& dialog) { ChooseFile(dynamic_cast<QFileDialog&>(dialog), file); });
      ButtonOf(box, "Save").click();
    });
    Window().OnCommand(command::kClear);
    QVERIFY(QFileInfo(file).size() > 12);
    QCOMPARE(Window().Grid().model()->rowCount(), 0);
    QVERIFY(!Window().Model().HasUnsavedRecords());
    QVERIFY(Window().close());
  }

  void SaveAndLoadGoThroughTheFileDialogs() {
    LoadKnownSession();
    testing::TempDir dir;
    const QString file = QString::fromStdString((dir / "three.elf").string());
    const auto answerWith = [&file](QWidget& widget) {
      auto& dialog = dynamic_cast<QFileDialog&>(widget);
      ChooseFile(dialog, file);
    };
    AnswerNextModal(answerWith);
    QTest::mouseClick(&Window().Toolbar().Button(command::kSave), Qt::LeftButton);
    QVERIFY(QFileInfo(file).size() > 12);

    QTest::mouseClick(&Window().Toolbar().Button(command::kClear), Qt::LeftButton);
    QCOMPARE(Window().Grid().model()->rowCount(), 0);
    QSignalSpy resets(Window().Grid().model(), &QAbstractItemModel::modelReset);
    QSignalSpy inserts(Window().Grid().model(), &QAbstractItemModel::rowsInserted);
    AnswerNextModal(answerWith);
    QTest::mouseClick(&Window().Toolbar().Button(command::kLoad), Qt::LeftButton);
    QCOMPARE(Column(Window(), kUrl).size(), 3);
    QCOMPARE(Cell(Window(), 1, kSize), QString("1000"));
    QCOMPARE(resets.count(), 1);  // the whole session at once
    QCOMPARE(inserts.count(), 0);
    QCOMPARE(StatusText(Window(), "recordsStatus"), QString("Records: 3"));
  }

  void TheFilterDialogRebuildsOnOkAndNotOnCancel() {
    LoadKnownSession();
    // OK: filtering on, status 404 only.
    AnswerNextModal([](QWidget& dialog) {
      QCOMPARE(dialog.windowTitle(), QString("Tracewell - Filter"));
      ButtonOf(dialog, "Enable Filtering").click();
      ButtonOf(dialog, "Status Code:").click();
      auto* codes = dialog.findChild<QTreeWidget*>("statusCodes");
      codes->findItems("404", Qt::MatchExactly).at(0)->setCheckState(0, Qt::Checked);
      ButtonOf(dialog, "OK").click();
    });
    QTest::mouseClick(&Window().Toolbar().Button(command::kFilter), Qt::LeftButton);
    QCOMPARE(Column(Window(), kUrl), QStringList({QStringLiteral("http://h/b\u20AC")}));
    QCOMPARE(Column(Window(), kNo), QStringList({"0"}));

    // Cancel: what the check boxes wrote stays, the grid is not rebuilt.
    AnswerNextModal([](QWidget& dialog) {
      auto* codes = dialog.findChild<QTreeWidget*>("statusCodes");
      QCOMPARE(codes->findItems("404", Qt::MatchExactly).at(0)->checkState(0), Qt::Checked);
      ButtonOf(dialog, "Enable Filtering").click();
      ButtonOf(dialog, "Cancel").click();
    });
    QTest::mouseClick(&Window().Toolbar().Button(command::kFilter), Qt::LeftButton);
    QVERIFY(!Window().Model().Filter().m_bFilterOn);
    QCOMPARE(Window().Grid().model()->rowCount(), 1);
    ChooseFromToolbar(Window(), command::kFilter, "Turn On Filter");
    QCOMPARE(Window().Grid().model()->rowCount(), 1);
    ChooseFromToolbar(Window(), command::kFilter, "Turn Off Filter");
    QCOMPARE(Window().Grid().model()->rowCount(), 3);
  }

  void KeysRunTheirCommandsAndAreShownBesideThem() {
    CMainToolbar& toolbar = Window().Toolbar();
    QStringList tips;
    for (const int id : {command::kStart, command::kStop, command::kClear, command::kLoad,
                         command::kSave}) {
      tips << toolbar.Button(id).toolTip();
    }
    QCOMPARE(tips, QStringList({"Start (F5)", "Stop (Shift+F5)", "Clear (Ctrl+L)", "Load (Ctrl+O)",
                                "Save (Ctrl+S)"}));
    QCOMPARE(ActionOf(toolbar.Menu(213), "Help Topics").shortcut(), QKeySequence(Qt::Key_F1));
    QCOMPARE(ActionOf(toolbar.Menu(205), "Find...").shortcut(),
             QKeySequence(Qt::ControlModifier | Qt::Key_F));

    QTest::keyClick(&Window(), Qt::Key_F5);
    QVERIFY(toolbar.Button(command::kStart).isChecked());
    QCOMPARE(StatusText(Window(), "recordingStatus"), QString("Recording"));
    QTest::keyClick(&Window(), Qt::Key_F5, Qt::ShiftModifier);
    QVERIFY(toolbar.Button(command::kStop).isChecked());
    QCOMPARE(StatusText(Window(), "recordingStatus"), QString("Not recording"));

    LoadKnownSession();
    QTest::keyClick(&Window(), Qt::Key_L, Qt::ControlModifier);
    QCOMPARE(Window().Grid().model()->rowCount(), 0);
    QCOMPARE(StatusText(Window(), "recordsStatus"), QString("Records: 0"));

    // Save and Load open their file dialogs, wherever the focus is.
    Window().Grid().setFocus();
    for (const Qt::Key key : {Qt::Key_S, Qt::Key_O}) {
      QString mode;
      AnswerNextModal([&mode](QWidget& widget) {
        auto& dialog = dynamic_cast<QFileDialog&>(widget);
        mode = dialog.acceptMode() == QFileDialog::AcceptSave ? "save" : "open";
        dialog.reject();
      });
      QTest::keyClick(&Window().Grid(), key, Qt::ControlModifier);
      QCOMPARE(mode, QString(key == Qt::Key_S ? "save" : "open"));
      // The offscreen platform does not give the window back its focus, as a desktop does.
      Window().activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(&Window()));
    }

    UrlCatcher files("file");
    QTest::keyClick(&Window(), Qt::Key_F1);
    QCOMPARE(files.urls.size(), 1);
    QVERIFY(files.urls[0].toLocalFile().endsWith("/Tracewell.html"));

    // Find is in the Filter menu too.
    QString title;
    AnswerNextModal([&title](QWidget& dialog) {
      title = dialog.windowTitle();
      ButtonOf(dialog, "Cancel").click();
    });
    ChooseFromToolbar(Window(), command::kFilter, "Find...");
    QCOMPARE(title, QString("Tracewell- Find"));
  }

  void CtrlFOpensFindWhichSelectsAndShowsTheRow() {
    LoadKnownSession();
    AnswerNextModal([](QWidget& dialog) {
      QCOMPARE(dialog.windowTitle(), QString("Tracewell- Find"));
      QTest::keyClicks(dialog.findChild<QComboBox*>(), "h/c");
      ButtonOf(dialog, "URLs").click();
      ButtonOf(dialog, "Find Next").click();
      ButtonOf(dialog, "Cancel").click();
    });
    QTest::keyClick(&Window(), Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(SelectedRows(Window()), QList<int>({2}));
    QCOMPARE(CoreSelectedRows(Window()), QList<int>({2}));
    QVERIFY(DetailListFirstColumn(Window(), kResponseHeaderList.id).contains("Content-Type"));
  }

  void HelpOpensTheManualTheHomePageAndTheAboutBox() {
    // The manual beside the program (a build tree), else in the installed documentation.
    const QString programFolder = QCoreApplication::applicationDirPath();
    const QString installed = QFileInfo(programFolder + "/../share/doc/tracewell/Tracewell.html").absoluteFilePath();
    UrlCatcher files("file");
    ChooseFromToolbar(Window(), command::kHelp, "Help Topics");
    QFile beside(programFolder + "/Tracewell.html");
    QVERIFY(beside.open(QIODevice::WriteOnly));
    ChooseFromToolbar(Window(), command::kHelp, "Help Topics");
    beside.remove();
    QCOMPARE(files.urls, QList<QUrl>({QUrl::fromLocalFile(installed), QUrl::fromLocalFile(beside.fileName())}));

    qputenv("TRACEWELL_HOME_PAGE", "https://home.example/tracewell");
    UrlCatcher pages("https");
    ChooseFromToolbar(Window(), command::kHelp, "Technical Support");
    QCOMPARE(pages.urls, QList<QUrl>({QUrl("https://home.example/tracewell")}));
    qunsetenv("TRACEWELL_HOME_PAGE");

    QString title;
    AnswerNextModal([&title](QWidget& box) {
      title = box.windowTitle();
      ButtonOf(box, "OK").click();
    });
    ChooseFromToolbar(Window(), command::kHelp, "About");
    QCOMPARE(title, QString("About Tracewell 1.0"));
  }

  void ExportCaCertificateSavesThePemOnlyWhileIntercepting() {
    // This window passes HTTPS through: there is nothing to export, and it says so.
    QCOMPARE(StatusText(Window(), "httpsStatus"), QString("HTTPS passes through unrecorded"));
    QString text;
    AnswerNextModal([&text](QWidget& box) {
      text = MessageText(box);
      ButtonOf(box, "OK").click();
    });
    ChooseFromToolbar(Window(), command::kTools, "Export CA Certificate...");
    QCOMPARE(text, QString("HTTPS interception is off: there is no certificate authority to export."));

    testing::TempDir dir;
    proxy::InterceptionSettings https;
    https.authorityDirectory = dir / "ca";
    auto options = TestWindow::WindowProxyOptions();
    options.interception = proxy::CInterception::Make(https).interception;
    QVERIFY(options.interception);
    m_test = std::make_unique<TestWindow>(options);
    QVERIFY(StatusText(Window(), "httpsStatus").contains("Export CA Certificate"));
    const QString file = QString::fromStdString((dir / "authority.pem").string());
    AnswerNextModal([&file](QWidget& widget) { ChooseFile(dynamic_cast<QFileDialog&>(widget), file); });
    ChooseFromToolbar(Window(), command::kTools, "Export CA Certificate...");
    const std::string pem = testing::ReadWholeFile(dir / "authority.pem");
    QCOMPARE(pem, options.interception->Authority().CertificatePem());
    QVERIFY(pem.find("PRIVATE KEY") == std::string::npos);
  }

  void ToolsOpenTheCookieAndCacheManagerAndAskBeforeClearing() {
    QString title;
    AnswerNextModal([&title](QWidget& dialog) {
      title = dialog.windowTitle();
      ButtonOf(dialog, "Exit").click();
    });
    ChooseFromToolbar(Window(), command::kTools, "Clear Cookies and Caches...");
    QCOMPARE(title, QString("Clear Cache and Cookie"));
    const std::pair<const char*, const char*> questions[] = {
        {"Clear All Cookies", "Are you sure you want to delete all cookies."},
        {"Clear All Caches", "Are you sure you want to delete all caches."}};
    for (const auto& [item, question] : questions) {
      QString text;
      AnswerNextModal([&text](QWidget& box) {
        text = MessageText(box);
        ButtonOf(box, "No").click();
      });
      ChooseFromToolbar(Window(), command::kTools, item);
      QCOMPARE(text, QString(question));
    }
  }

  void AScreenshotOfARealisticSession() {
    TransactionArray session = testing::MakeHarSampleSession();
    for (std::uint32_t index = 0; index < 24; ++index) {
      session.push_back(testing::MakeRealisticRecord(index));
    }
    Window().resize(1100, 720);
    Replay(Window(), session);
    ClickCell(Window(), 1, kUrl);
    QCOMPARE(StatusText(Window(), "recordsStatus"), "Records: " + QString::number(session.size()));
    QTest::qWait(50);
    const QImage shot = Window().grab().toImage();
    const QString path = QCoreApplication::applicationDirPath() + "/window.png";
    QVERIFY(shot.save(path));

    QSet<QRgb> colours;
    for (int y = 0; y < shot.height(); y += 2) {
      for (int x = 0; x < shot.width(); x += 2) colours.insert(shot.pixel(x, y));
    }
    QVERIFY2(colours.size() > 20, qPrintable(QString::number(colours.size())));
    // Text in the grid: dark pixels inside its cells.
    const QWidget& viewport = *Window().Grid().viewport();
    const QRect cells(viewport.mapTo(&Window(), QPoint(0, 0)), viewport.size());
    int dark = 0;
    for (int y = cells.top(); y < cells.bottom(); ++y) {
      for (int x = cells.left(); x < cells.right(); ++x) {
        if (qGray(shot.pixel(x, y)) < 80) ++dark;
      }
    }
    QVERIFY2(dark > 2000, qPrintable(QString::number(dark)));
  }
};

}  // namespace tracewell::app

QTEST_MAIN(tracewell::app::MainWindowTest)
#include "main_window_test.moc"
