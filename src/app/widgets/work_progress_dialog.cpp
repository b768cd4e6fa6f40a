#include "widgets/work_progress_dialog.h"

namespace tracewell::app {
namespace {

constexpr int kSteps = 1000;

}  // namespace

CWorkProgressDialog::CWorkProgressDialog(QWidget* parent, const QString& label, std::chrono::milliseconds delay)
    : m_dialog(label, QStringLiteral("Cancel"), 0, kSteps, parent) {
  m_dialog.setWindowTitle(QStringLiteral("Tracewell"));
  // Window-modal: once shown, each step lets the window repaint and Cancel be
  // pressed, while the rest of the window takes no input.
  m_dialog.setWindowModality(Qt::WindowModal);
  m_dialog.setMinimumDuration(static_cast<int>(delay.count()));
  m_dialog.setAutoReset(false);
  m_dialog.setAutoClose(false);
}

bool CWorkProgressDialog::Continue(std::uint64_t done, std::uint64_t total) {
  const std::uint64_t step = total == 0 ? kSteps : done * kSteps / total;
  m_dialog.setValue(static_cast<int>(std::min<std::uint64_t>(step, kSteps)));
  return !m_dialog.wasCanceled();
}

}  // namespace tracewell::app
