// The cookie and cache manager bound to an in-memory store: hosts and counters, a
// host's files last entry first, the text and picture previews, Clear Cache and
// Clear Cookie, Save As, the note line, and the Qt picture loader's natural size.

#include <QBuffer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "list_interaction.h"
#include "support/fake_cache.h"
#include "support/fake_message_box.h"
#include "widgets/cache_manager_dialog.h"
#include "widgets/cache_platform.h"

namespace tracewell::app {
namespace {

using interaction::ControlWithText;
using tracewell::testing::ShownMessage;

// A PNG of `width` x `height` pixels at 96 dots per inch.
std::string PngBytes(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::red);
  image.setDotsPerMeterX(3780);
  image.setDotsPerMeterY(3780);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes.toStdString();
}

QStringList Column(const QTreeWidget& list, int column) {
  QStringList texts;
  for (int row = 0; row < list.topLevelItemCount(); ++row) texts << list.topLevelItem(row)->text(column);
  return texts;
}

}  // namespace

class CacheManagerDialogTest final : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void listsHostsAndShowsAHostsFilesLastFirst();
  void previewsTextAndPlacesPictures();
  void clearsAHostAndTheCookies();
  void savesTheChosenFileAs();
  void qtPictureLoaderGivesTheNaturalSize();

 private:
  std::unique_ptr<CCacheManagerDialog> Open(const QString& note = {});
  QTreeWidget& List(const char* name) { return *m_dialog->findChild<QTreeWidget*>(name); }
  QPushButton& Button(const QString& text) { return ControlWithText<QPushButton>(*m_dialog, text); }

  tracewell::testing::FakeEnumerationStore m_store;
  tracewell::testing::FakeUrlHostParser m_urls;
  tracewell::testing::FakeMessageBox m_messages;
  tracewell::testing::FakeFiles m_files;
  tracewell::testing::FakeSaveFileDialog m_saveDialog;
  CQtPictureDecoder m_pictures;
  std::unique_ptr<CCacheManagerDialog> m_dialog;
};

std::unique_ptr<CCacheManagerDialog> CacheManagerDialogTest::Open(const QString& note) {
  auto dialog = std::make_unique<CCacheManagerDialog>(
      CookieCachePlatform{m_store, m_urls, m_messages, m_files, m_saveDialog, m_pictures}, note, nullptr);
  dialog->show();
  return dialog;
}

void CacheManagerDialogTest::init() {
  m_store = {};
  m_messages.shown.clear();
  m_store.AddFile(u"http://a.test/site.css", u"/store/site.css", 12);
  m_store.AddFile(u"http://b.test/logo.png", u"/store/logo.png", 300);
  m_store.AddFile(u"http://A.test/page.html", u"/store/page.html", 40);
  m_store.AddFile(u"http://a.test/tall.png", u"/store/tall.png", 300);
  m_store.Add(u"Cookie:sid@a.test/");
  m_files.files = {{u"/store/site.css", std::string("body { color: red }\0rest", 24)},
                   {u"/store/logo.png", PngBytes(20, 10)},
                   {u"/store/tall.png", PngBytes(10, 4000)}};
  m_dialog = Open();
}

void CacheManagerDialogTest::listsHostsAndShowsAHostsFilesLastFirst() {
  QCOMPARE(m_dialog->windowTitle(), QString("Clear Cache and Cookie"));
  QTreeWidget& hosts = List("hostList");
  QCOMPARE(hosts.headerItem()->text(0), QString("HostName"));
  QCOMPARE(hosts.columnWidth(1), 59);
  QCOMPARE(Column(hosts, 0), (QStringList{"a.test", "b.test"}));
  QCOMPARE(Column(hosts, 1), (QStringList{"3", "1"}));
  QCOMPARE(m_dialog->findChild<QLabel*>("hostCount")->text(), QString("2"));
  QCOMPARE(m_dialog->findChild<QLabel*>("fileCount")->text(), QString("0"));
  QVERIFY(!m_dialog->findChild<QPlainTextEdit*>("previewText")->isVisible());
  QVERIFY(m_dialog->findChild<QLabel*>("storeNote") == nullptr);

  hosts.setCurrentItem(hosts.topLevelItem(0));
  QTreeWidget& files = List("fileList");
  QCOMPARE(Column(files, 0), (QStringList{"tall.png", "page.html", "site.css"}));
  QCOMPARE(Column(files, 1), (QStringList{"300", "40", "12"}));
  QCOMPARE(Column(files, 3), (QStringList{"/store/tall.png", "/store/page.html", "/store/site.css"}));
  QCOMPARE(m_dialog->findChild<QLabel*>("fileCount")->text(), QString("3"));

  // A header click sorts the view; the host shown is still the one clicked.
  hosts.sortByColumn(0, Qt::DescendingOrder);
  QCOMPARE(Column(hosts, 0), (QStringList{"b.test", "a.test"}));
  hosts.setCurrentItem(hosts.topLevelItem(0));
  QCOMPARE(Column(files, 2), (QStringList{"http://b.test/logo.png"}));

  m_dialog = Open("The browser's cache is read-only while it runs.");
  QCOMPARE(m_dialog->findChild<QLabel*>("storeNote")->text(), QString("The browser's cache is read-only while it runs."));
}

void CacheManagerDialogTest::previewsTextAndPlacesPictures() {
  QTreeWidget& hosts = List("hostList");
  QTreeWidget& files = List("fileList");
  auto& text = *m_dialog->findChild<QPlainTextEdit*>("previewText");
  auto& area = *m_dialog->findChild<QWidget*>("previewArea");
  hosts.setCurrentItem(hosts.topLevelItem(0));
  files.setCurrentItem(files.topLevelItem(2));  // site.css: the text up to its zero byte
  QVERIFY(text.isVisible());
  QCOMPARE(text.toPlainText(), QString("body { color: red }"));

  files.setCurrentItem(files.topLevelItem(0));  // tall.png: squeezed to the area's height, centred across
  QVERIFY(!text.isVisible());
  QVERIFY(m_dialog->Model().Preview().Picture() != nullptr);
  const PixelRect placed = m_dialog->Model().Preview().PictureRect();
  const int pictureWidth = 10 * m_dialog->logicalDpiX() / 96;
  QCOMPARE(placed, (PixelRect{(area.width() - pictureWidth) / 2, 0, pictureWidth, area.height()}));
  QCOMPARE(area.grab().toImage().pixelColor(area.width() / 2, area.height() / 2), QColor(Qt::red));

  files.setCurrentItem(files.topLevelItem(1));  // page.html cannot be read: the box keeps its text
  QVERIFY(text.isVisible());
  QCOMPARE(text.toPlainText(), QString("body { color: red }"));
}

void CacheManagerDialogTest::clearsAHostAndTheCookies() {
  Button("Clear Cache").click();
  QCOMPARE(m_messages.shown, (std::vector<ShownMessage>{{u"Please select an item to delete.", u"Delete"}}));

  QTreeWidget& hosts = List("hostList");
  hosts.setCurrentItem(hosts.topLevelItem(0));
  Button("Clear Cache").click();
  QCOMPARE(Column(hosts, 0), (QStringList{"b.test"}));
  QCOMPARE(List("fileList").topLevelItemCount(), 0);
  QCOMPARE(m_dialog->findChild<QLabel*>("hostCount")->text(), QString("2"));  // counters stay
  QCOMPARE(m_store.LiveNames(), (std::vector<std::u16string>{u"http://b.test/logo.png", u"Cookie:sid@a.test/"}));

  Button("Clear Cookie").click();
  QCOMPARE(m_store.LiveNames(), (std::vector<std::u16string>{u"http://b.test/logo.png"}));
}

void CacheManagerDialogTest::savesTheChosenFileAs() {
  Button("Save As...").click();
  QCOMPARE(m_messages.shown, (std::vector<ShownMessage>{{u"Please select a file to save", u"Save"}}));
  QTreeWidget& hosts = List("hostList");
  hosts.setCurrentItem(hosts.topLevelItem(1));
  List("fileList").setCurrentItem(List("fileList").topLevelItem(0));
  m_saveDialog.answer = u"/tmp/copy.png";
  Button("Save As...").click();
  QCOMPARE(m_saveDialog.asked.back(), (std::pair<std::u16string, std::u16string>{u"logo.png", u"All Files (*.*)"}));
  QCOMPARE(m_files.copies.back(), (std::pair<std::u16string, std::u16string>{u"/store/logo.png", u"/tmp/copy.png"}));
}

void CacheManagerDialogTest::qtPictureLoaderGivesTheNaturalSize() {
  const auto picture = m_pictures.Decode(PngBytes(96, 48));
  QVERIFY(picture != nullptr);
  QCOMPARE(picture->NaturalSize().width, 2540u);  // one inch at 96 dots per inch
  QCOMPARE(picture->NaturalSize().height, 1270u);
  QVERIFY(m_pictures.Decode("not a picture") == nullptr);
  CQtUrlHostParser urls;
  QCOMPARE(urls.HostName(u"http://Example.test:8080/a?b"), std::optional<std::u16string>(u"example.test"));
  QCOMPARE(urls.HostName(u"not a url"), std::nullopt);
}

}  // namespace tracewell::app

QTEST_MAIN(tracewell::app::CacheManagerDialogTest)
#include "cache_manager_dialog_test.moc"
