// The filter dialog end to end: what it shows for the settings it is given, the
// enabling rules as boxes are clicked, list rows written as they are checked, OK
// writing the rest and Cancel keeping what was written.

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include "list_interaction.h"
#include "widgets/filter_dialog.h"

namespace tracewell::app {
namespace {

using Texts = std::vector<std::u16string>;

using interaction::ControlWithText;

QCheckBox& Box(QWidget& dialog, const QString& text) { return ControlWithText<QCheckBox>(dialog, text); }
QRadioButton& Radio(QWidget& dialog, const QString& text) { return ControlWithText<QRadioButton>(dialog, text); }
QTreeWidget& StatusList(QWidget& dialog) { return *dialog.findChild<QTreeWidget*>("statusCodes"); }
QListWidget& TypeList(QWidget& dialog) { return *dialog.findChild<QListWidget*>("contentTypes"); }

FilterSettings Checks(bool filterOn, bool byStatus, bool byType) {
  FilterSettings settings;
  settings.m_bFilterOn = filterOn;
  settings.m_bFilterByStatus = byStatus;
  settings.m_bFilterByType = byType;
  return settings;
}

// Where a user clicks: on the box or the start of the text (a check box may be wider
// than its text, and only those react).
void Click(QAbstractButton& button) {
  QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(8, button.height() / 2));
}

void ClickStatusRow(QWidget& dialog, const QString& code) {
  QTreeWidget& list = StatusList(dialog);
  const auto found = list.findItems(code, Qt::MatchExactly, 0);
  QCOMPARE(found.size(), 1);
  list.scrollToItem(found.front());
  interaction::ClickCheckBoxOf(list, list.indexFromItem(found.front(), 0));
}

void ClickTypeRow(QWidget& dialog, const QString& type) {
  QListWidget& list = TypeList(dialog);
  const auto found = list.findItems(type, Qt::MatchExactly);
  QCOMPARE(found.size(), 1);
  interaction::ClickCheckBoxOf(list, list.indexFromItem(found.front()));
}

QStringList CheckedStatusRows(QWidget& dialog) {
  QStringList codes;
  QTreeWidget& list = StatusList(dialog);
  for (int row = 0; row < list.topLevelItemCount(); ++row) {
    if (list.topLevelItem(row)->checkState(0) == Qt::Checked) codes << list.topLevelItem(row)->text(0);
  }
  return codes;
}

QStringList CheckedTypeRows(QWidget& dialog) {
  QStringList types;
  QListWidget& list = TypeList(dialog);
  for (int row = 0; row < list.count(); ++row) {
    if (list.item(row)->checkState() == Qt::Checked) types << list.item(row)->text();
  }
  return types;
}

// Enabled states of: "Status Code:", "Content Type:", status list, type list, "OR", "AND".
QList<bool> Enabled(QWidget& dialog) {
  return {Box(dialog, "Status Code:").isEnabled(), Box(dialog, "Content Type:").isEnabled(),
          StatusList(dialog).isEnabled(),         TypeList(dialog).isEnabled(),
          Radio(dialog, "OR").isEnabled(),        Radio(dialog, "AND").isEnabled()};
}

}  // namespace

class FilterDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void showsItsTitleGroupsAndLists();
  void opensWithTheSettingsChecks();
  void enablingFollowsTheThreeCheckBoxes();
  void checkBoxClickWritesAllThreeAndTheRadioChoice();
  void listRowsAreWrittenAsTheyAreChecked();
  void okWritesTheSettingsAndIsAccepted();
  void cancelKeepsWhatWasWrittenAndIsRejected();
};

void FilterDialogTest::showsItsTitleGroupsAndLists() {
  FilterSettings settings;
  CFilterDialog dialog(settings, nullptr);
  QCOMPARE(dialog.windowTitle(), QString("Tracewell - Filter"));
  QVERIFY(dialog.isModal());
  QStringList groups;
  for (const QGroupBox* group : dialog.findChildren<QGroupBox*>()) groups << group->title();
  QCOMPARE(groups, (QStringList{"Filter Options", "Filter Conditions"}));
  QStringList labels;
  for (const QLabel* label : dialog.findChildren<QLabel*>()) labels << label->text();
  QCOMPARE(labels, QStringList{"Combine Filter Conditions:"});
  QVERIFY(ControlWithText<QPushButton>(dialog, "OK").isDefault());
  QVERIFY(!ControlWithText<QPushButton>(dialog, "Cancel").isDefault());
  QVERIFY(!Box(dialog, "Enable Filtering").isChecked());

  QTreeWidget& status = StatusList(dialog);
  QCOMPARE(status.headerItem()->text(0), QString("Status Code"));
  QCOMPARE(status.headerItem()->text(1), QString("Description"));
  QCOMPARE(status.columnWidth(0), 80);
  QCOMPARE(status.columnWidth(1), 850);
  QCOMPARE(status.topLevelItemCount(), 16);
  QCOMPARE(status.topLevelItem(0)->text(0), QString("100"));
  QCOMPARE(status.topLevelItem(11)->text(0), QString("404"));
  QCOMPARE(status.topLevelItem(11)->text(1),
           QString("Not found.The server has not found anything matchine the request-URI"));
  QCOMPARE(status.topLevelItem(15)->text(0), QString("503"));

  QStringList types;
  for (int row = 0; row < TypeList(dialog).count(); ++row) types << TypeList(dialog).item(row)->text();
  QCOMPARE(types, (QStringList{"text/html", "text/css", "text/javascript", "text/xml", "text/*",
                               "image/gif", "image/jpg", "image/png", "image/*",
                               "application/x-javascript", "application/*"}));
}

void FilterDialogTest::opensWithTheSettingsChecks() {
  FilterSettings settings{.m_bFilterOn = true,
                          .m_bFilterByStatus = true,
                          .m_bFilterByType = false,
                          .m_nFilterCombine = 1,
                          .m_arrFilterStatusCodes = {u"404", u"200", u"999"},
                          .m_arrFilterContentTypes = {u"image/*"}};
  const FilterSettings before = settings;
  CFilterDialog dialog(settings, nullptr);
  QVERIFY(Box(dialog, "Enable Filtering").isChecked());
  QVERIFY(Box(dialog, "Status Code:").isChecked());
  QVERIFY(!Box(dialog, "Content Type:").isChecked());
  QVERIFY(Radio(dialog, "AND").isChecked());
  QVERIFY(!Radio(dialog, "OR").isChecked());
  QCOMPARE(CheckedStatusRows(dialog), (QStringList{"200", "404"}));
  QCOMPARE(CheckedTypeRows(dialog), QStringList{"image/*"});
  QCOMPARE(Enabled(dialog), (QList<bool>{true, true, true, false, false, false}));
  // Opening edits nothing.
  QCOMPARE(settings.m_arrFilterStatusCodes, before.m_arrFilterStatusCodes);
  QCOMPARE(settings.m_arrFilterContentTypes, before.m_arrFilterContentTypes);
}

void FilterDialogTest::enablingFollowsTheThreeCheckBoxes() {
  FilterSettings settings;
  CFilterDialog dialog(settings, nullptr);
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  QCOMPARE(Enabled(dialog), (QList<bool>{false, false, false, false, false, false}));
  Click(Box(dialog, "Enable Filtering"));
  QCOMPARE(Enabled(dialog), (QList<bool>{true, true, false, false, false, false}));
  Click(Box(dialog, "Status Code:"));
  QCOMPARE(Enabled(dialog), (QList<bool>{true, true, true, false, false, false}));
  Click(Box(dialog, "Content Type:"));
  QCOMPARE(Enabled(dialog), (QList<bool>{true, true, true, true, true, true}));
  Click(Box(dialog, "Enable Filtering"));
  QCOMPARE(Enabled(dialog), (QList<bool>{false, false, false, false, false, false}));
  // The conditions keep their checks while filtering is off.
  QVERIFY(Box(dialog, "Status Code:").isChecked());
  QVERIFY(Box(dialog, "Content Type:").isChecked());
}

void FilterDialogTest::checkBoxClickWritesAllThreeAndTheRadioChoice() {
  FilterSettings settings;
  CFilterDialog dialog(settings, nullptr);
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  Click(Box(dialog, "Enable Filtering"));
  QVERIFY(settings.m_bFilterOn);
  Click(Box(dialog, "Status Code:"));
  Click(Box(dialog, "Content Type:"));
  QVERIFY(settings.m_bFilterByStatus);
  QVERIFY(settings.m_bFilterByType);

  Click(Radio(dialog, "AND"));
  QVERIFY(Radio(dialog, "AND").isChecked());
  QCOMPARE(settings.m_nFilterCombine, 0);  // not yet
  Click(Box(dialog, "Content Type:"));
  QCOMPARE(settings.m_nFilterCombine, 1);
  QVERIFY(!settings.m_bFilterByType);
  QVERIFY(Radio(dialog, "AND").isChecked());
}

void FilterDialogTest::listRowsAreWrittenAsTheyAreChecked() {
  FilterSettings settings = Checks(true, true, true);
  CFilterDialog dialog(settings, nullptr);
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  ClickStatusRow(dialog, "404");
  ClickStatusRow(dialog, "200");
  ClickTypeRow(dialog, "text/*");
  QCOMPARE(settings.m_arrFilterStatusCodes, (Texts{u"404", u"200"}));
  QCOMPARE(settings.m_arrFilterContentTypes, Texts{u"text/*"});
  QCOMPARE(CheckedStatusRows(dialog), (QStringList{"200", "404"}));

  ClickStatusRow(dialog, "404");
  QCOMPARE(settings.m_arrFilterStatusCodes, Texts{u"200"});
  QCOMPARE(CheckedStatusRows(dialog), QStringList{"200"});
}

void FilterDialogTest::okWritesTheSettingsAndIsAccepted() {
  FilterSettings settings = Checks(true, true, true);
  CFilterDialog dialog(settings, nullptr);
  interaction::AnswerModal([](QWidget& modal) {
    Click(Radio(modal, "AND"));
    ClickTypeRow(modal, "image/png");
    Click(ControlWithText<QPushButton>(modal, "OK"));
  });
  QCOMPARE(dialog.exec(), int(QDialog::Accepted));
  QCOMPARE(settings.m_nFilterCombine, 1);
  QCOMPARE(settings.m_arrFilterContentTypes, Texts{u"image/png"});
  QVERIFY(settings.m_bFilterOn && settings.m_bFilterByStatus && settings.m_bFilterByType);
}

void FilterDialogTest::cancelKeepsWhatWasWrittenAndIsRejected() {
  FilterSettings settings = Checks(false, true, false);
  CFilterDialog dialog(settings, nullptr);
  interaction::AnswerModal([](QWidget& modal) {
    Click(Box(modal, "Enable Filtering"));
    ClickStatusRow(modal, "304");
    Click(Radio(modal, "AND"));  // only the buttons: never written
    Click(ControlWithText<QPushButton>(modal, "Cancel"));
  });
  QCOMPARE(dialog.exec(), int(QDialog::Rejected));
  QVERIFY(settings.m_bFilterOn);
  QCOMPARE(settings.m_arrFilterStatusCodes, Texts{u"304"});
  QCOMPARE(settings.m_nFilterCombine, 0);

  CFilterDialog again(settings, nullptr);
  interaction::AnswerModal([](QWidget& modal) { QTest::keyClick(&modal, Qt::Key_Escape); });
  QCOMPARE(again.exec(), int(QDialog::Rejected));
}

}  // namespace tracewell::app

QTEST_MAIN(tracewell::app::FilterDialogTest)
#include "filter_dialog_test.moc"
