// Messages and questions as Qt boxes, answered the way a user would.

#include <QAbstractButton>
#include <QMessageBox>
#include <QTest>

#include "list_interaction.h"
#include "widgets/qt_message_box.h"

namespace tracewell::app {
namespace {

constexpr UserMessage kMessage{u"File isn't eif file", u"Tracewell"};
constexpr UserMessage kQuestion{u"Delete all cookies?", u"Tracewell - Tools"};

// Checks the box's texts, then presses the button.
void Answer(QMessageBox::StandardButton button, QString* text, QString* title) {
  interaction::AnswerModal([=](QWidget& modal) {
    auto& box = static_cast<QMessageBox&>(modal);
    *text = box.text();
    *title = box.windowTitle();
    QTest::mouseClick(box.button(button), Qt::LeftButton);
  });
}

}  // namespace

class QtMessageBoxTest : public QObject {
  Q_OBJECT

 private slots:
  void showMessageShowsTextAndCaptionWithOk();
  void askYesNoIsTrueOnlyForYes();
};

void QtMessageBoxTest::showMessageShowsTextAndCaptionWithOk() {
  CQtMessageBox messages(nullptr);
  QString text;
  QString title;
  Answer(QMessageBox::Ok, &text, &title);
  messages.ShowMessage(kMessage);
  QCOMPARE(text, QString("File isn't eif file"));
  QCOMPARE(title, QString("Tracewell"));
  // A message that names no caption gets the program's whole name.
  Answer(QMessageBox::Ok, &text, &title);
  messages.ShowMessage({u"file read error.", u""});
  QCOMPARE(title, QString("Tracewell"));
}

void QtMessageBoxTest::askYesNoIsTrueOnlyForYes() {
  CQtMessageBox messages(nullptr);
  QString text;
  QString title;
  Answer(QMessageBox::Yes, &text, &title);
  QVERIFY(messages.AskYesNo(kQuestion));
  QCOMPARE(text, QString("Delete all cookies?"));
  QCOMPARE(title, QString("Tracewell - Tools"));
  Answer(QMessageBox::No, &text, &title);
  QVERIFY(!messages.AskYesNo(kQuestion));
  interaction::AnswerModal([](QWidget& modal) { QTest::keyClick(&modal, Qt::Key_Escape); });
  QVERIFY(!messages.AskYesNo(kQuestion));
}

}  // namespace tracewell::app

QTEST_MAIN(tracewell::app::QtMessageBoxTest)
#include "qt_message_box_test.moc"
