#pragma once
// The progress of a long load, save or export: a dialog with Cancel that appears
// only once the work looks like taking longer than a delay, so that quick work shows
// nothing. Cancel asks the work to stop.

#include <QProgressDialog>
#include <QString>
#include <chrono>

#include "session_io/work_progress.h"

namespace tracewell::app {

class CWorkProgressDialog final : public IWorkProgress {
 public:
  static constexpr std::chrono::milliseconds kDelay{500};

  CWorkProgressDialog(QWidget* parent, const QString& label, std::chrono::milliseconds delay = kDelay);

  bool Continue(std::uint64_t done, std::uint64_t total) override;

 private:
  QProgressDialog m_dialog;
};

}  // namespace tracewell::app
