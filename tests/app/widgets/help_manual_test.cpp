// The user's manual stays whole and in step with the window: it names every toolbar
// button, menu item, tab and dialog control, and needs nothing from outside.

#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QTextDocument>

#include "views/detail_lists.h"
#include "views/filter_dialog_model.h"
#include "views/find_dialog_model.h"
#include "views/list_helper.h"
#include "views/main_commands.h"
#include "widgets/qt_text.h"

namespace tracewell::app {

class HelpManualTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void namesEveryButtonMenuItemAndTab();
  void namesTheDialogsControls();
  void isSelfContained();

 private:
  void ExpectNamed(std::u16string_view text);

  QString m_html;
  QString m_text;  // as a reader sees it
};

void HelpManualTest::initTestCase() {
  QFile file(QStringLiteral(TRACEWELL_HELP_FILE));
  QVERIFY(file.open(QIODevice::ReadOnly));
  m_html = QString::fromUtf8(file.readAll());
  QTextDocument document;
  document.setHtml(m_html);
  m_text = document.toPlainText();
  QVERIFY(m_text.contains("Tracewell"));
}

void HelpManualTest::ExpectNamed(std::u16string_view text) {
  QVERIFY2(m_text.contains(ToQString(text)), qPrintable(ToQString(text)));
}

void HelpManualTest::namesEveryButtonMenuItemAndTab() {
  for (const ToolbarButton& button : kToolbarButtons) ExpectNamed(button.text);
  for (const DropDownMenu& menu : kDropDownMenus) {
    for (const MenuItem& item : menu.items) {
      if (item.id != kSeparator) ExpectNamed(item.text);
    }
  }
  for (const MenuItem& item : kListMenuItems) {
    if (item.id != kSeparator) ExpectNamed(item.text);
  }
  for (const std::u16string_view title : kDetailTabTitles) ExpectNamed(title);
  ExpectNamed(u"127.0.0.1:8877");
  for (const char16_t* extension : {u".elf", u".har"}) ExpectNamed(extension);
  for (const char16_t* command : {u"tracewell record", u"tracewell show", u"tracewell export"}) {
    ExpectNamed(command);
  }
}

void HelpManualTest::namesTheDialogsControls() {
  namespace filter = filter_dialog_text;
  for (const std::u16string_view text :
       {filter::kEnableFiltering, filter::kCombineLabel, filter::kOr, filter::kAnd,
        filter::kStatusCode, filter::kContentType}) {
    ExpectNamed(text);
  }
  namespace find = find_dialog_text;
  for (const std::u16string_view text : {find::kTextLabel, find::kMatchCase, find::kWholeWord,
                                         find::kUp, find::kDown, find::kSelectAll,
                                         find::kSelectNone, find::kFindNext}) {
    ExpectNamed(text);
  }
  for (const std::u16string_view scope : find::kScopes) ExpectNamed(scope);
}

void HelpManualTest::isSelfContained() {
  static const QRegularExpression outside(
      QStringLiteral("(src|href)\\s*=\\s*\"(?!#)|@import|url\\("));
  QVERIFY2(!outside.match(m_html).hasMatch(), qPrintable(outside.match(m_html).captured()));
  // Every link inside the page has its target.
  static const QRegularExpression anchor(QStringLiteral("href=\"#([^\"]+)\""));
  for (auto it = anchor.globalMatch(m_html); it.hasNext();) {
    const QString target = it.next().captured(1);
    QVERIFY2(m_html.contains(QStringLiteral("id=\"%1\"").arg(target)), qPrintable(target));
  }
}

}  // namespace tracewell::app

QTEST_MAIN(tracewell::app::HelpManualTest)
#include "help_manual_test.moc"
