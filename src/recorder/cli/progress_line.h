#pragma once
// How far a long load, save or export has come, as a line on standard error:
// "tracewell: loading big.elf 42%", rewritten in place as the work goes on and erased
// when it ends. Drawn only where someone watches it: standard error on a terminal.

#include <memory>
#include <ostream>
#include <string>

#include "session_io/work_progress.h"

namespace tracewell::cli {

class CProgressLine final : public IWorkProgress {
 public:
  CProgressLine(std::ostream& err, std::string label) : m_err(err), m_label(std::move(label)) {}
  ~CProgressLine() override;
  CProgressLine(const CProgressLine&) = delete;
  CProgressLine& operator=(const CProgressLine&) = delete;

  // Redraws the line when the percentage changes; never stops the work.
  bool Continue(std::uint64_t done, std::uint64_t total) override;

 private:
  std::ostream& m_err;
  std::string m_label;
  int m_percent = -1;  // none drawn yet
  std::size_t m_width = 0;
};

// A line for the work `label` names, or none with `quiet` or when `err` is not the
// process's standard error on a terminal.
std::unique_ptr<CProgressLine> ProgressLineFor(std::ostream& err, std::string label, bool quiet);

}  // namespace tracewell::cli
