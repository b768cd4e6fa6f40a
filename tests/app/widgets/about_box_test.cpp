// The about box's texts, picture and links (opened through the desktop's handler, as
// a user's click opens them), and the addresses with their environment overrides.

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include "list_interaction.h"
#include "widgets/about_box.h"
#include "update/version.h"
#include "widgets/product_addresses.h"
#include "widgets/qt_text.h"
#include "widgets/toolbar_icons.h"

namespace tracewell::app {
namespace {

// The build's own addresses, which the environment may replace.
QString HomePage() { return ToQString(kHomePage); }
QString SupportEmail() { return ToQString(kSupportEmail); }
QString UpdateSite() { return ToQString(kUpdateSite); }

const char* const kVariables[] = {"TRACEWELL_HOME_PAGE", "TRACEWELL_SUPPORT_EMAIL",
                                  "TRACEWELL_UPDATE_SITE"};

QLabel* LabelWithText(QWidget& box, const QString& text) {
  for (QLabel* label : box.findChildren<QLabel*>()) {
    if (label->text() == text) return label;
  }
  return nullptr;
}

// The label that shows `shown` as a link.
QLabel* Link(QWidget& box, const QString& shown) {
  for (QLabel* label : box.findChildren<QLabel*>()) {
    if (label->text().contains("<a ") && label->text().contains(">" + shown + "<")) return label;
  }
  return nullptr;
}

}  // namespace

class AboutBoxTest : public QObject {
  Q_OBJECT

 public slots:
  void openUrl(const QUrl& url) { m_opened << url.toString(); }

 private slots:
  void init();
  void cleanup();

  void showsTitleVersionPictureAndOk();
  void clickedLinksOpenTheHomePageAndAMailMessage();
  void environmentReplacesEachAddress();

 private:
  QStringList m_opened;
};

void AboutBoxTest::init() {
  for (const char* variable : kVariables) qunsetenv(variable);
  m_opened.clear();
  for (const char* scheme : {"https", "http", "mailto"}) {
    QDesktopServices::setUrlHandler(scheme, this, "openUrl");
  }
}

void AboutBoxTest::cleanup() {
  for (const char* scheme : {"https", "http", "mailto"}) QDesktopServices::unsetUrlHandler(scheme);
}

void AboutBoxTest::showsTitleVersionPictureAndOk() {
  CAboutBox box(nullptr);
  QCOMPARE(box.windowTitle(), QString("About Tracewell 1.0"));
  QVERIFY(box.isModal());
  for (const char* text : {"Tracewell V1.0 ", "HomePage:", "Email:"}) {
    QVERIFY2(LabelWithText(box, text), text);
  }
  QVERIFY(Link(box, HomePage()));
  QVERIFY(Link(box, SupportEmail()));
  bool hasPicture = false;
  for (const QLabel* label : box.findChildren<QLabel*>()) {
    if (!label->pixmap().isNull()) {
      QCOMPARE(label->pixmap().size(), QSize(kProductPictureSize, kProductPictureSize));
      hasPicture = true;
    }
  }
  QVERIFY(hasPicture);
  const auto buttons = box.findChildren<QPushButton*>();
  QCOMPARE(buttons.size(), 1);
  QCOMPARE(buttons.front()->text(), QString("OK"));

  interaction::AnswerModal([](QWidget& modal) {
    QTest::mouseClick(modal.findChild<QPushButton*>(), Qt::LeftButton);
  });
  QCOMPARE(box.exec(), int(QDialog::Accepted));
  QVERIFY(m_opened.isEmpty());
}

void AboutBoxTest::clickedLinksOpenTheHomePageAndAMailMessage() {
  CAboutBox box(nullptr);
  box.show();
  QVERIFY(QTest::qWaitForWindowExposed(&box));
  for (const QString& shown : {HomePage(), SupportEmail()}) {
    QLabel* link = Link(box, shown);
    QVERIFY(link);
    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(4, link->height() / 2));
  }
  QCOMPARE(m_opened, (QStringList{HomePage(), "mailto:" + SupportEmail()}));
  // Enter after a click is OK's, not the link's again.
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  QCOMPARE(m_opened.size(), 2);
  QCOMPARE(box.result(), int(QDialog::Accepted));
}

void AboutBoxTest::environmentReplacesEachAddress() {
  ProductAddresses addresses = ReadProductAddresses();
  QCOMPARE(addresses.homePage, HomePage());
  QCOMPARE(addresses.supportEmail, SupportEmail());
  QCOMPARE(addresses.updateSite, UpdateSite());

  qputenv("TRACEWELL_HOME_PAGE", "http://127.0.0.1:8080/about");
  qputenv("TRACEWELL_SUPPORT_EMAIL", "help@example.test");
  qputenv("TRACEWELL_UPDATE_SITE", "");  // empty: not set
  addresses = ReadProductAddresses();
  QCOMPARE(addresses.homePage, QString("http://127.0.0.1:8080/about"));
  QCOMPARE(addresses.supportEmail, QString("help@example.test"));
  QCOMPARE(addresses.updateSite, UpdateSite());

  CAboutBox box(nullptr);
  box.show();
  QVERIFY(QTest::qWaitForWindowExposed(&box));
  QLabel* mail = Link(box, "help@example.test");
  QVERIFY(mail);
  QTest::mouseClick(mail, Qt::LeftButton, {}, QPoint(4, mail->height() / 2));
  QCOMPARE(m_opened, QStringList{"mailto:help@example.test"});
}

}  // namespace tracewell::app

QTEST_MAIN(tracewell::app::AboutBoxTest)
#include "about_box_test.moc"
