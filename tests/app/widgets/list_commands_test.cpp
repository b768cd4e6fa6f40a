// The copy and selection commands on a real list: the right-click menu, its six
// commands, Ctrl+A and Ctrl+C, with the clipboard's bytes checked exactly.

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <memory>

#include "list_interaction.h"
#include "views/detail_lists.h"
#include "views/list_helper.h"
#include "widgets/detail_list.h"
#include "widgets/qt_clipboard.h"

namespace tracewell::app {
namespace {

using interaction::ClipboardBytes;
using interaction::kClipboardMarker;

// Three rows with a character outside ASCII and an empty cell.
const TextRows kRows = {
    {u"name", u"Ren\u00E9e"},
    {u"b", u"2"},
    {u"c", u""},
};

}  // namespace

class ListCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void menuHasTheSixCommandsAndOneSeparator();
  void copyCellCopiesTheCellUnderTheRightClick();
  void copyCellOfAnEmptyCellLeavesTheClipboardAlone();
  void copySelectedRowsCopiesThemInRowOrder();
  void copyAllRowsCopiesEveryRow();
  void copyCurrentColumnCopiesTheColumnUnderTheRightClick();
  void selectAllRowsAndInvertSelectionChangeTheViewsSelection();
  void ctrlAAndCtrlCSelectAndCopy();
  void lettersWithoutCtrlAreNoCommands();
  void rightClickBelowTheLastRowOpensNoMenu();
  void listOutsideTheCommandRangeGetsNeitherMenuNorKeys();
  void clipboardReceivesTheCodePagesCharacters();

 private:
  std::unique_ptr<CDetailList> Show(const DetailList& layout);
  QMenu* MenuAt(int row, int column);

  CQtClipboard m_clipboard;
  std::unique_ptr<CDetailList> m_list;
};

std::unique_ptr<CDetailList> ListCommandsTest::Show(const DetailList& layout) {
  auto list = std::make_unique<CDetailList>(layout, ReportListStyle{true, true}, m_clipboard, nullptr);
  list->resize(500, 200);
  list->ShowRows(kRows);
  list->show();
  if (!QTest::qWaitForWindowExposed(list.get())) return nullptr;
  return list;
}

QMenu* ListCommandsTest::MenuAt(int row, int column) {
  return interaction::RightClick(*m_list, interaction::CellCenter(*m_list, row, column));
}

void ListCommandsTest::init() {
  m_list = Show(kQueryList);
  QVERIFY(m_list);
  interaction::PutMarkerOnClipboard();
}

void ListCommandsTest::cleanup() {
  if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
  m_list.reset();
}

void ListCommandsTest::menuHasTheSixCommandsAndOneSeparator() {
  QMenu* menu = MenuAt(1, 0);
  QVERIFY(menu);
  QStringList items;
  for (const QAction* action : menu->actions()) {
    items << (action->isSeparator() ? QStringLiteral("-") : action->text());
  }
  QCOMPARE(items, (QStringList{"Copy Cell", "Copy Selected Rows", "Copy All Rows",
                               "Copy Current Column", "-", "Select All Rows", "Invert Selection"}));
}

void ListCommandsTest::copyCellCopiesTheCellUnderTheRightClick() {
  QMenu* menu = MenuAt(0, 1);
  QVERIFY(menu);
  interaction::Choose(*menu, "Copy Cell");
  QCOMPARE(ClipboardBytes(), std::string("Ren\xE9" "e"));
  QVERIFY(!QApplication::activePopupWidget());
}

void ListCommandsTest::copyCellOfAnEmptyCellLeavesTheClipboardAlone() {
  QMenu* menu = MenuAt(2, 1);
  QVERIFY(menu);
  interaction::Choose(*menu, "Copy Cell");
  QCOMPARE(ClipboardBytes(), std::string(kClipboardMarker));
}

void ListCommandsTest::copySelectedRowsCopiesThemInRowOrder() {
  interaction::LeftClick(*m_list, interaction::CellCenter(*m_list, 2, 0));
  interaction::LeftClick(*m_list, interaction::CellCenter(*m_list, 0, 1), Qt::ControlModifier);
  QMenu* menu = MenuAt(2, 0);  // on a selected row: the selection stays
  QVERIFY(menu);
  interaction::Choose(*menu, "Copy Selected Rows");
  QCOMPARE(ClipboardBytes(), std::string("name  Ren\xE9" "e  \r\nc    \r\n"));
}

void ListCommandsTest::copyAllRowsCopiesEveryRow() {
  QMenu* menu = MenuAt(1, 1);
  QVERIFY(menu);
  interaction::Choose(*menu, "Copy All Rows");
  QCOMPARE(ClipboardBytes(), std::string("name  Ren\xE9" "e  \r\nb  2  \r\nc    \r\n"));
}

void ListCommandsTest::copyCurrentColumnCopiesTheColumnUnderTheRightClick() {
  QMenu* menu = MenuAt(1, 0);
  QVERIFY(menu);
  interaction::Choose(*menu, "Copy Current Column");
  QCOMPARE(ClipboardBytes(), std::string("name\r\nb\r\nc\r\n"));

  menu = MenuAt(0, 1);
  QVERIFY(menu);
  interaction::Choose(*menu, "Copy Current Column");
  QCOMPARE(ClipboardBytes(), std::string("Ren\xE9" "e\r\n2\r\n\r\n"));
}

void ListCommandsTest::selectAllRowsAndInvertSelectionChangeTheViewsSelection() {
  QMenu* menu = MenuAt(1, 0);  // selects row 1
  QVERIFY(menu);
  QCOMPARE(interaction::SelectedRows(*m_list), QList<int>{1});
  interaction::Choose(*menu, "Invert Selection");
  QCOMPARE(interaction::SelectedRows(*m_list), (QList<int>{0, 2}));
  QTest::keyClick(m_list.get(), Qt::Key_C, Qt::ControlModifier);
  QCOMPARE(ClipboardBytes(), std::string("name  Ren\xE9" "e  \r\nc    \r\n"));

  menu = MenuAt(0, 0);
  QVERIFY(menu);
  interaction::Choose(*menu, "Select All Rows");
  QCOMPARE(interaction::SelectedRows(*m_list), (QList<int>{0, 1, 2}));
  QTest::keyClick(m_list.get(), Qt::Key_C, Qt::ControlModifier);
  QCOMPARE(ClipboardBytes(), std::string("name  Ren\xE9" "e  \r\nb  2  \r\nc    \r\n"));
}

void ListCommandsTest::ctrlAAndCtrlCSelectAndCopy() {
  m_list->setFocus();
  QTest::keyClick(m_list.get(), Qt::Key_C, Qt::ControlModifier);
  QCOMPARE(ClipboardBytes(), std::string(kClipboardMarker));  // nothing selected

  interaction::LeftClick(*m_list, interaction::CellCenter(*m_list, 1, 1));
  QTest::keyClick(m_list.get(), Qt::Key_C, Qt::ControlModifier);
  QCOMPARE(ClipboardBytes(), std::string("b  2  \r\n"));

  QTest::keyClick(m_list.get(), Qt::Key_A, Qt::ControlModifier);
  QCOMPARE(interaction::SelectedRows(*m_list), (QList<int>{0, 1, 2}));
  QTest::keyClick(m_list.get(), Qt::Key_C, Qt::ControlModifier);
  QCOMPARE(ClipboardBytes(), std::string("name  Ren\xE9" "e  \r\nb  2  \r\nc    \r\n"));
}

void ListCommandsTest::lettersWithoutCtrlAreNoCommands() {
  interaction::LeftClick(*m_list, interaction::CellCenter(*m_list, 2, 0));
  QTest::keyClick(m_list.get(), Qt::Key_A);
  QTest::keyClick(m_list.get(), Qt::Key_C);
  QCOMPARE(interaction::SelectedRows(*m_list).size(), 1);
  QCOMPARE(ClipboardBytes(), std::string(kClipboardMarker));
}

void ListCommandsTest::rightClickBelowTheLastRowOpensNoMenu() {
  QVERIFY(!interaction::RightClick(*m_list, interaction::BelowLastRow(*m_list, 0)));
}

void ListCommandsTest::listOutsideTheCommandRangeGetsNeitherMenuNorKeys() {
  m_list = Show(kResponseCookieList);  // id 278
  QVERIFY(m_list);
  QVERIFY(!MenuAt(0, 0));
  interaction::LeftClick(*m_list, interaction::CellCenter(*m_list, 0, 1));
  QTest::keyClick(m_list.get(), Qt::Key_A, Qt::ControlModifier);
  QCOMPARE(interaction::SelectedRows(*m_list), QList<int>{0});
  QTest::keyClick(m_list.get(), Qt::Key_C, Qt::ControlModifier);
  QCOMPARE(ClipboardBytes(), std::string(kClipboardMarker));
}

void ListCommandsTest::clipboardReceivesTheCodePagesCharacters() {
  m_clipboard.SetText("\x80 \xE9\x9F");
  QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromUtf16(u"\u20AC \u00E9\u0178"));
}

}  // namespace tracewell::app

QTEST_MAIN(tracewell::app::ListCommandsTest)
#include "list_commands_test.moc"
