// The drawn pictures: one per toolbar button, 16 x 16 on a transparent ground, each
// its own; the product picture larger; nothing for other commands.

#include <QImage>
#include <QSet>
#include <QTest>

#include "views/main_commands.h"
#include "widgets/toolbar_icons.h"

namespace tracewell::app {
namespace {

struct Coverage {
  int transparent = 0;
  int opaque = 0;
  QSet<QRgb> colours;
};

Coverage Measure(const QImage& image) {
  Coverage coverage;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb pixel = image.pixel(x, y);
      if (qAlpha(pixel) == 0) ++coverage.transparent;
      if (qAlpha(pixel) == 255) ++coverage.opaque;
      coverage.colours.insert(pixel);
    }
  }
  return coverage;
}

}  // namespace

class ToolbarIconsTest : public QObject {
  Q_OBJECT

 private slots:
  void everyToolbarButtonHasItsOwnSmallPicture();
  void otherCommandsHaveNone();
  void productPictureIsALargerEmblem();
};

void ToolbarIconsTest::everyToolbarButtonHasItsOwnSmallPicture() {
  QList<QImage> seen;
  for (const ToolbarButton& button : kToolbarButtons) {
    const QIcon icon = ToolbarIcon(button.id);
    QVERIFY(!icon.isNull());
    QCOMPARE(icon.availableSizes(), QList<QSize>{QSize(kToolbarIconSize, kToolbarIconSize)});
    const QImage image = icon.pixmap(kToolbarIconSize).toImage();
    QCOMPARE(image.size(), QSize(16, 16));
    QVERIFY(image.hasAlphaChannel());
    const Coverage coverage = Measure(image);
    QVERIFY2(coverage.transparent >= 16, qPrintable(QString::number(button.id)));
    QVERIFY2(coverage.opaque >= 20, qPrintable(QString::number(button.id)));
    QVERIFY2(coverage.colours.size() >= 3, qPrintable(QString::number(button.id)));
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    QVERIFY2(!seen.contains(image), qPrintable(QString::number(button.id)));
    seen << image;
  }
}

void ToolbarIconsTest::otherCommandsHaveNone() {
  for (const int id : {command::kFind, command::kAbout, command::kSaveAs, 0}) {
    QVERIFY(ToolbarIcon(id).isNull());
  }
}

void ToolbarIconsTest::productPictureIsALargerEmblem() {
  const QImage image = ProductPicture().toImage();
  QCOMPARE(image.size(), QSize(kProductPictureSize, kProductPictureSize));
  const Coverage coverage = Measure(image);
  QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
  QVERIFY(coverage.opaque > kProductPictureSize * kProductPictureSize / 2);
  QVERIFY(coverage.colours.size() >= 10);
}

}  // namespace tracewell::app

QTEST_MAIN(tracewell::app::ToolbarIconsTest)
#include "toolbar_icons_test.moc"
