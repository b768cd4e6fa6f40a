#include "window/main_splitter.h"

namespace tracewell::app {

CMainSplitter::CMainSplitter(QWidget& top, QWidget& bottom, QWidget* parent)
    : QSplitter(Qt::Vertical, parent) {
  addWidget(&top);
  addWidget(&bottom);
  setChildrenCollapsible(false);
  connect(this, &QSplitter::splitterMoved, this, [this] {
    const QList<int> heights = sizes();
    const int usable = heights[0] + heights[1];
    if (usable > 0) m_topShare = static_cast<int>(qint64{heights[0]} * kWholeShare / usable);
  });
}

void CMainSplitter::ShowMode(ViewMode mode) {
  widget(0)->setVisible(mode != ViewMode::kViewOnly);
  widget(1)->setVisible(mode != ViewMode::kGridOnly);
  ApplyShare();
}

void CMainSplitter::resizeEvent(QResizeEvent* event) {
  QSplitter::resizeEvent(event);
  ApplyShare();
}

void CMainSplitter::ApplyShare() {
  if (widget(0)->isHidden() || widget(1)->isHidden()) return;
  const int usable = height() - handleWidth();
  const int top = static_cast<int>(qint64{usable} * m_topShare / kWholeShare);
  setSizes({top, usable - top});
}

}  // namespace tracewell::app
