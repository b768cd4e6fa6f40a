// Writes the program's icon in the desktop's usual sizes, as the hicolor icon theme
// lays them out: OUT/hicolor/NxN/apps/tracewell.png.

#include <QDir>
#include <QImage>
#include <QString>
#include <cstdio>

#include "widgets/toolbar_icons.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: write_icons OUT\n");
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  for (const int size : tracewell::app::kProductIconSizes) {
    const QString folder = QStringLiteral("%1/hicolor/%2x%2/apps").arg(out).arg(size);
    if (!QDir().mkpath(folder) || !tracewell::app::ProductIcon(size).save(folder + "/tracewell.png", "PNG")) {
      std::fprintf(stderr, "write_icons: cannot write %s/tracewell.png\n", qPrintable(folder));
      return 1;
    }
  }
  return 0;
}
