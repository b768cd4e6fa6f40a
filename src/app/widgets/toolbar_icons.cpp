#include "widgets/toolbar_icons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>

#include "views/main_commands.h"

namespace tracewell::app {
namespace {

const QColor kOutline(0x33, 0x3a, 0x44);

void DrawStart(QPainter& p) {
  QRadialGradient fill(QPointF(6.5, 6.0), 7.5);
  fill.setColorAt(0, QColor(0x8e, 0xe6, 0x8a));
  fill.setColorAt(1, QColor(0x1f, 0x9a, 0x2e));
  p.setPen(QPen(QColor(0x14, 0x6b, 0x1f), 1));
  p.setBrush(fill);
  p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
}

void DrawStop(QPainter& p) {
  p.setPen(QPen(QColor(0x1e, 0x22, 0x28), 1));
  p.setBrush(QColor(0x4a, 0x51, 0x5c));
  p.drawRoundedRect(QRectF(3.5, 3.5, 9, 9), 1.5, 1.5);
}

void DrawClear(QPainter& p) {
  // An eraser lying on a line it has wiped.
  p.setPen(QPen(QColor(0x9a, 0xa3, 0xad), 1));
  p.drawLine(QPointF(1.5, 14.5), QPointF(14.5, 14.5));
  p.translate(8, 8);
  p.rotate(-40);
  p.setPen(QPen(kOutline, 1));
  p.setBrush(QColor(0xf0, 0x80, 0x8e));
  p.drawRect(QRectF(-1.5, -3.5, 7, 7));
  p.setBrush(QColor(0xf4, 0xf4, 0xf4));
  p.drawRect(QRectF(-6.5, -3.5, 5, 7));
}

void DrawLoad(QPainter& p) {
  p.setPen(QPen(QColor(0x8a, 0x63, 0x10), 1));
  p.setBrush(QColor(0xe8, 0xb8, 0x3c));
  QPolygonF back;
  back << QPointF(1.5, 3.5) << QPointF(5.5, 3.5) << QPointF(7, 5) << QPointF(12.5, 5)
       << QPointF(12.5, 13.5) << QPointF(1.5, 13.5);
  p.drawPolygon(back);
  p.setBrush(QColor(0xfa, 0xd7, 0x6e));
  QPolygonF front;
  front << QPointF(3.5, 7.5) << QPointF(15, 7.5) << QPointF(12.5, 13.5) << QPointF(1.5, 13.5);
  p.drawPolygon(front);
}

void DrawSave(QPainter& p) {
  p.setPen(QPen(QColor(0x1c, 0x3d, 0x74), 1));
  p.setBrush(QColor(0x3b, 0x6e, 0xc4));
  QPolygonF body;
  body << QPointF(1.5, 1.5) << QPointF(12.5, 1.5) << QPointF(14.5, 3.5) << QPointF(14.5, 14.5)
       << QPointF(1.5, 14.5);
  p.drawPolygon(body);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xf4, 0xf6, 0xfa));
  p.drawRect(QRectF(4, 2, 7, 5));  // label
  p.setBrush(QColor(0xc9, 0xd1, 0xdc));
  p.drawRect(QRectF(4, 10, 8, 4));  // shutter
  p.setBrush(QColor(0x1c, 0x3d, 0x74));
  p.drawRect(QRectF(9, 3, 1.5, 3));
}

void DrawView(QPainter& p) {
  // A window split into the session grid above and the detail pane below.
  p.setPen(QPen(kOutline, 1));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(1.5, 1.5, 13, 13));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x3b, 0x6e, 0xc4));
  p.drawRect(QRectF(2, 2, 12, 3));  // title bar
  p.setBrush(QColor(0xd8, 0xe4, 0xf6));
  p.drawRect(QRectF(2, 5, 12, 3.5));
  p.setPen(QPen(kOutline, 1));
  p.drawLine(QPointF(2, 8.5), QPointF(14, 8.5));
}

void DrawFilter(QPainter& p) {
  QLinearGradient fill(0, 2, 0, 14);
  fill.setColorAt(0, QColor(0x7f, 0xb2, 0xf0));
  fill.setColorAt(1, QColor(0x2f, 0x6c, 0xc0));
  p.setPen(QPen(QColor(0x1c, 0x3d, 0x74), 1));
  p.setBrush(fill);
  QPolygonF funnel;
  funnel << QPointF(1.5, 2.5) << QPointF(14.5, 2.5) << QPointF(9.5, 8.5) << QPointF(9.5, 13.5)
         << QPointF(6.5, 14.5) << QPointF(6.5, 8.5);
  p.drawPolygon(funnel);
}

void DrawTools(QPainter& p) {
  // A wrench across the square, its open jaw top right.
  p.translate(8, 8);
  p.rotate(45);
  p.setPen(QPen(QColor(0x44, 0x4b, 0x55), 1));
  p.setBrush(QColor(0xa9, 0xb2, 0xbd));
  QPainterPath wrench;
  wrench.addRoundedRect(QRectF(-1.75, -2, 3.5, 9.5), 1.5, 1.5);
  wrench.addEllipse(QPointF(0, -4), 3.75, 3.75);
  wrench = wrench.simplified();
  QPainterPath jaw;
  jaw.addRect(QRectF(-1.25, -8.5, 2.5, 5));
  p.drawPath(wrench.subtracted(jaw));
}

void DrawHelp(QPainter& p) {
  p.setPen(QPen(QColor(0x1c, 0x3d, 0x74), 1));
  p.setBrush(QColor(0x3b, 0x6e, 0xc4));
  p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
  QFont font = p.font();
  font.setBold(true);
  font.setPixelSize(11);
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(QRectF(1.5, 1.5, 13, 13), Qt::AlignCenter, QStringLiteral("?"));
}

void DrawBrowser(QPainter& p) {
  // A globe: a blue disc with a meridian and the equator.
  QRadialGradient fill(QPointF(6.0, 5.5), 8.0);
  fill.setColorAt(0, QColor(0x9c, 0xd3, 0xf5));
  fill.setColorAt(1, QColor(0x23, 0x7b, 0xc8));
  p.setPen(QPen(QColor(0x15, 0x4f, 0x86), 1));
  p.setBrush(fill);
  p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
  p.setPen(QPen(QColor(0xf2, 0xf7, 0xfc), 1));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QRectF(5.0, 1.5, 6, 13));
  p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
}

using Drawing = void (*)(QPainter&);

Drawing DrawingFor(int commandId) {
  switch (commandId) {
    case command::kStart: return DrawStart;
    case command::kStop: return DrawStop;
    case command::kBrowser: return DrawBrowser;
    case command::kClear: return DrawClear;
    case command::kLoad: return DrawLoad;
    case command::kSave: return DrawSave;
    case command::kView: return DrawView;
    case command::kFilter: return DrawFilter;
    case command::kTools: return DrawTools;
    case command::kHelp: return DrawHelp;
    default: return nullptr;
  }
}

QPixmap Draw(int size, Drawing drawing) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  drawing(painter);
  return pixmap;
}

void DrawEmblem(QPainter& p) {
  // A dark screen with a green trace running across it and the point it reached.
  QLinearGradient fill(0, 0, 0, kProductPictureSize);
  fill.setColorAt(0, QColor(0x2b, 0x4f, 0x8c));
  fill.setColorAt(1, QColor(0x14, 0x27, 0x4a));
  p.setPen(QPen(QColor(0x0d, 0x1a, 0x33), 1.5));
  p.setBrush(fill);
  p.drawRoundedRect(QRectF(2, 2, 44, 44), 9, 9);
  p.setPen(QPen(QColor(0x7f, 0xb2, 0xf0, 90), 1));
  for (const int y : {14, 24, 34}) p.drawLine(QPointF(7, y), QPointF(41, y));
  QPolygonF trace;
  trace << QPointF(7, 28) << QPointF(15, 28) << QPointF(19, 16) << QPointF(25, 36)
        << QPointF(29, 22) << QPointF(32, 28) << QPointF(37, 28);
  p.setPen(QPen(QColor(0x6c, 0xe0, 0x7a), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPolyline(trace);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xb8, 0xf5, 0xbf));
  p.drawEllipse(QPointF(38, 28), 3.5, 3.5);
}

}  // namespace

QIcon ToolbarIcon(int commandId) {
  const Drawing drawing = DrawingFor(commandId);
  if (!drawing) return {};
  return QIcon(Draw(kToolbarIconSize, drawing));
}

QPixmap ProductPicture() { return Draw(kProductPictureSize, DrawEmblem); }

QImage ProductIcon(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal scale = static_cast<qreal>(size) / kProductPictureSize;
  painter.scale(scale, scale);
  DrawEmblem(painter);
  return image;
}

QIcon ProductIcons() {
  QIcon icon;
  for (const int size : kProductIconSizes) icon.addPixmap(QPixmap::fromImage(ProductIcon(size)));
  return icon;
}

}  // namespace tracewell::app
