#include "cli/progress_line.h"

#include <unistd.h>

#include <iostream>

namespace tracewell::cli {

CProgressLine::~CProgressLine() {
  if (m_width > 0) m_err << '\r' << std::string(m_width, ' ') << '\r' << std::flush;
}

bool CProgressLine::Continue(std::uint64_t done, std::uint64_t total) {
  const int percent = total == 0 ? 100 : static_cast<int>(std::min<std::uint64_t>(done, total) * 100 / total);
  if (percent == m_percent) return true;
  m_percent = percent;
  const std::string line = "tracewell: " + m_label + " " + std::to_string(percent) + "%";
  m_err << '\r' << line;
  if (line.size() < m_width) m_err << std::string(m_width - line.size(), ' ');
  m_err << std::flush;
  m_width = std::max(m_width, line.size());
  return true;
}

std::unique_ptr<CProgressLine> ProgressLineFor(std::ostream& err, std::string label, bool quiet) {
  if (quiet || err.rdbuf() != std::cerr.rdbuf() || isatty(STDERR_FILENO) != 1) return nullptr;
  return std::make_unique<CProgressLine>(err, std::move(label));
}

}  // namespace tracewell::cli
