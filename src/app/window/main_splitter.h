#pragma once
// The split between the grid (top) and the detail tabs (bottom). The top pane gets
// 35 % of the height at first; the proportion, once set or dragged, holds when the
// window is resized. The view modes show one pane or both.

#include <QSplitter>

#include "views/main_window_model.h"
#include "views/split_share.h"

namespace tracewell::app {

class CMainSplitter final : public QSplitter {
  Q_OBJECT

 public:
  // The top pane's share of the usable height, in ten-thousandths.
  static constexpr int kInitialTopShare = kInitialTopSplitShare;
  static constexpr int kWholeShare = kWholeSplitShare;

  CMainSplitter(QWidget& top, QWidget& bottom, QWidget* parent = nullptr);

  void ShowMode(ViewMode mode);
  int TopShare() const { return m_topShare; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ApplyShare();

  int m_topShare = kInitialTopShare;
};

}  // namespace tracewell::app
