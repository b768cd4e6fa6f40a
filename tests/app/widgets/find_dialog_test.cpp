// The Find dialog bound to a window model fed with records: its controls, Find Next
// selecting and showing rows while the dialog stays open, the wrap and not-found
// messages, the direction boxes, the scopes and the recent texts.

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "list_interaction.h"
#include "support/fake_clock.h"
#include "support/fake_message_box.h"
#include "support/ordinal_collator.h"
#include "support/sample_session.h"
#include "widgets/find_dialog.h"
#include "widgets/qt_text.h"

namespace tracewell::app {
namespace {

const QStringList kScopeTexts = {"URLs",      "Headers",           "Query String", "Cookies",
                                 "Post Data", "Result/Status Code", "Content"};

// The stored body of one page only.
class OnePageContent final : public IContentReader {
 public:
  std::optional<std::u16string> ReadContent(const CHttpTransaction& record) const override {
    if (record.m_strUrl.find(u"/items/6/") == std::u16string::npos) return std::nullopt;
    return u"<html><body>Wrapping paper in stock</body></html>";
  }
};

using interaction::ControlWithText;
using tracewell::testing::Shown;
using tracewell::testing::ShownMessage;

QCheckBox& Box(QWidget& dialog, const QString& text) { return ControlWithText<QCheckBox>(dialog, text); }
QPushButton& Button(QWidget& dialog, const QString& text) { return ControlWithText<QPushButton>(dialog, text); }

void Click(QAbstractButton& button) {
  QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(8, button.height() / 2));
}

QList<bool> ScopeChecks(QWidget& dialog) {
  QList<bool> checks;
  for (const QString& scope : kScopeTexts) checks << Box(dialog, scope).isChecked();
  return checks;
}

}  // namespace

class FindDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void opensEmptyWithItsControls();
  void findNextNeedsATextAndAScope();
  void findNextSelectsAndShowsTheNextMatchingRowAndStaysOpen();
  void wrapAndNotFoundAreSaidThroughTheMessageBox();
  void upAndDownAreExclusiveAndUpSearchesBackwards();
  void selectAllAndNoneSetTheScopesContentOnlyWithAReader();
  void matchCaseAndWholeWordNarrowTheSearch();
  void searchedTextsAreOfferedSortedNextTime();
  void cancelAndEscapeClose();

 private:
  std::unique_ptr<CFindDialog> Open(const IContentReader* content = nullptr);
  void Search(const QString& text, const QString& scope);
  std::optional<std::size_t> Selected() const { return m_window->Grid().LastSelectedRow(); }

  tracewell::testing::OrdinalCollator m_collator;
  tracewell::testing::FakeClock m_clock;
  std::unique_ptr<CMainWindowModel> m_window;
  CFindHistory m_history;
  tracewell::testing::FakeMessageBox m_messages;
  std::unique_ptr<CFindDialog> m_dialog;
};

void FindDialogTest::init() {
  m_window = std::make_unique<CMainWindowModel>(m_collator, m_clock);
  for (std::uint32_t index = 0; index < 10; ++index) {
    m_window->OnTransactionStarted(tracewell::testing::MakeRealisticRecord(index));
  }
  m_history = {};
  m_messages.shown.clear();
  m_dialog = Open();
  QVERIFY(m_dialog);
}

void FindDialogTest::cleanup() { m_dialog.reset(); }

std::unique_ptr<CFindDialog> FindDialogTest::Open(const IContentReader* content) {
  auto dialog = std::make_unique<CFindDialog>(*m_window, m_history, content, m_messages, nullptr);
  dialog->show();
  if (!QTest::qWaitForWindowExposed(dialog.get())) return nullptr;
  return dialog;
}

void FindDialogTest::Search(const QString& text, const QString& scope) {
  auto* combo = m_dialog->findChild<QComboBox*>();
  combo->lineEdit()->selectAll();
  QTest::keyClicks(combo->lineEdit(), text);
  if (!Box(*m_dialog, scope).isChecked()) Click(Box(*m_dialog, scope));
  Click(Button(*m_dialog, "Find Next"));
}

void FindDialogTest::opensEmptyWithItsControls() {
  QCOMPARE(m_dialog->windowTitle(), QString("Tracewell- Find"));
  QVERIFY(m_dialog->isModal());
  QStringList groups;
  for (const QGroupBox* group : m_dialog->findChildren<QGroupBox*>()) groups << group->title();
  groups.sort();
  QCOMPARE(groups, (QStringList{"Direction", "Options", "Scope"}));
  QCOMPARE(m_dialog->findChild<QLabel*>()->text(), QString("Text to find:"));
  auto* combo = m_dialog->findChild<QComboBox*>();
  QVERIFY(combo->isEditable());
  QCOMPARE(combo->currentText(), QString());
  QCOMPARE(combo->count(), 0);
  QCOMPARE(QApplication::focusWidget(), combo);
  for (const QString& text : kScopeTexts + QStringList{"Match case", "Whole word", "Up", "Down"}) {
    QVERIFY2(!Box(*m_dialog, text).isChecked(), qPrintable(text));
  }
  QVERIFY(!Box(*m_dialog, "Content").isEnabled());  // no content store
  QVERIFY(Button(*m_dialog, "Find Next").isDefault());
  for (const char* text : {"Select All", "Select None", "Cancel"}) {
    QVERIFY(Button(*m_dialog, text).isEnabled());
  }
}

void FindDialogTest::findNextNeedsATextAndAScope() {
  QPushButton& findNext = Button(*m_dialog, "Find Next");
  QVERIFY(!findNext.isEnabled());
  QTest::keyClicks(m_dialog->findChild<QComboBox*>()->lineEdit(), "items");
  QVERIFY(!findNext.isEnabled());
  Click(Box(*m_dialog, "URLs"));
  QVERIFY(findNext.isEnabled());
  Click(Box(*m_dialog, "URLs"));
  QVERIFY(!findNext.isEnabled());
}

void FindDialogTest::findNextSelectsAndShowsTheNextMatchingRowAndStaysOpen() {
  QSignalSpy found(m_dialog.get(), &CFindDialog::rowFound);
  Search("/items/4/", "URLs");
  QCOMPARE(found.size(), 1);
  QCOMPARE(Selected(), std::optional<std::size_t>(4));
  QVERIFY(m_window->Details().header.RequestRows().front()[1].starts_with(u"GET /catalogue/items/4/"));
  QVERIFY(m_messages.shown.empty());
  QVERIFY(m_dialog->isVisible());

  // Return in the text runs Find Next too; the search goes on below the selection.
  auto* combo = m_dialog->findChild<QComboBox*>();
  combo->lineEdit()->selectAll();
  QTest::keyClicks(combo->lineEdit(), "basket=");
  Click(Box(*m_dialog, "Headers"));
  combo->setFocus();
  QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
  QCOMPARE(found.size(), 2);
  QCOMPARE(Selected(), std::optional<std::size_t>(5));
  QCOMPARE(m_window->Grid().IsSelected(4), false);
  QVERIFY(m_dialog->isVisible());
}

void FindDialogTest::wrapAndNotFoundAreSaidThroughTheMessageBox() {
  QSignalSpy found(m_dialog.get(), &CFindDialog::rowFound);
  m_window->Grid().SelectOnly(7);
  Search("/items/2/", "URLs");
  QCOMPARE(Selected(), std::optional<std::size_t>(2));
  QCOMPARE(found.size(), 1);
  QCOMPARE(m_messages.shown, std::vector<ShownMessage>{Shown(kMsgFindWrappedToTop)});

  Search("no such text", "Headers");
  QCOMPARE(m_messages.shown.back(), Shown(kMsgFindNotFound));
  QCOMPARE(m_messages.shown.back().caption, std::u16string(u"Tracewell- Find"));
  QCOMPARE(found.size(), 1);  // nothing found: nothing to show
  QCOMPARE(Selected(), std::optional<std::size_t>(2));
}

void FindDialogTest::upAndDownAreExclusiveAndUpSearchesBackwards() {
  QCheckBox& up = Box(*m_dialog, "Up");
  QCheckBox& down = Box(*m_dialog, "Down");
  Click(down);
  QVERIFY(down.isChecked() && !up.isChecked());
  Click(up);
  QVERIFY(up.isChecked() && !down.isChecked());

  m_window->Grid().SelectOnly(1);
  Search("/items/8/", "URLs");
  QCOMPARE(Selected(), std::optional<std::size_t>(8));
  QCOMPARE(m_messages.shown, std::vector<ShownMessage>{Shown(kMsgFindWrappedToEnd)});

  Click(up);  // neither box: down
  QVERIFY(!up.isChecked() && !down.isChecked());
  Search("/items/9/", "URLs");
  QCOMPARE(Selected(), std::optional<std::size_t>(9));
  QCOMPARE(m_messages.shown.size(), std::size_t{1});
}

void FindDialogTest::selectAllAndNoneSetTheScopesContentOnlyWithAReader() {
  Click(Button(*m_dialog, "Select All"));
  QCOMPARE(ScopeChecks(*m_dialog), (QList<bool>{true, true, true, true, true, true, false}));
  Click(Button(*m_dialog, "Select None"));
  QCOMPARE(ScopeChecks(*m_dialog), (QList<bool>(7, false)));

  const OnePageContent content;
  m_dialog = Open(&content);
  QVERIFY(m_dialog);
  QVERIFY(Box(*m_dialog, "Content").isEnabled());
  Click(Button(*m_dialog, "Select All"));
  QCOMPARE(ScopeChecks(*m_dialog), (QList<bool>(7, true)));
  Click(Button(*m_dialog, "Select None"));
  Search("Wrapping paper", "Content");
  QCOMPARE(Selected(), std::optional<std::size_t>(6));
}

void FindDialogTest::matchCaseAndWholeWordNarrowTheSearch() {
  Click(Box(*m_dialog, "Whole word"));
  Search("catalog", "URLs");  // only inside "catalogue"
  Click(Box(*m_dialog, "Match case"));
  Search("CATALOGUE", "URLs");
  QCOMPARE(m_messages.shown, (std::vector<ShownMessage>{Shown(kMsgFindNotFound), Shown(kMsgFindNotFound)}));
  Click(Box(*m_dialog, "Match case"));
  Search("CATALOGUE", "URLs");
  QCOMPARE(Selected(), std::optional<std::size_t>(0));
}

void FindDialogTest::searchedTextsAreOfferedSortedNextTime() {
  Search("pear", "URLs");
  Search("apple", "URLs");
  auto* combo = m_dialog->findChild<QComboBox*>();
  QCOMPARE(combo->currentText(), QString("apple"));
  QCOMPARE(combo->count(), 2);
  QCOMPARE(combo->itemText(0), QString("apple"));
  QCOMPARE(combo->itemText(1), QString("pear"));

  m_dialog = Open();
  QVERIFY(m_dialog);
  combo = m_dialog->findChild<QComboBox*>();
  QCOMPARE(combo->currentText(), QString());
  QCOMPARE(combo->count(), 2);
  combo->setCurrentIndex(1);
  Click(Box(*m_dialog, "URLs"));
  QVERIFY(Button(*m_dialog, "Find Next").isEnabled());  // the chosen text counts
}

void FindDialogTest::cancelAndEscapeClose() {
  m_dialog->hide();
  interaction::AnswerModal([](QWidget& modal) { Click(Button(modal, "Cancel")); });
  QCOMPARE(m_dialog->exec(), int(QDialog::Rejected));
  interaction::AnswerModal([](QWidget& modal) { QTest::keyClick(&modal, Qt::Key_Escape); });
  QCOMPARE(m_dialog->exec(), int(QDialog::Rejected));
}

}  // namespace tracewell::app

QTEST_MAIN(tracewell::app::FindDialogTest)
#include "find_dialog_test.moc"
