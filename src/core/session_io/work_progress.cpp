#include "session_io/work_progress.h"

#include <algorithm>

namespace tracewell {
namespace {

constexpr std::uint64_t kReports = 1000;

// The first count at which the meter reports after `done` units: the total itself is
// always reported when it is reached.
std::uint64_t NextReport(std::uint64_t done, std::uint64_t total) {
  const std::uint64_t next = done + std::max<std::uint64_t>(1, total / kReports);
  return done < total ? std::min(next, total) : next;
}

}  // namespace

FileError WorkStopped() { return FileError{"stopped before the end", true}; }

CProgressMeter::CProgressMeter(IWorkProgress* progress, std::uint64_t total)
    : m_progress(progress), m_total(total), m_nextReport(NextReport(0, total)) {
  if (m_progress != nullptr) m_stopped = !m_progress->Continue(0, m_total);
}

bool CProgressMeter::Report() {
  m_nextReport = NextReport(m_done, m_total);
  if (m_progress != nullptr && !m_stopped) m_stopped = !m_progress->Continue(std::min(m_done, m_total), m_total);
  return !m_stopped;
}

std::size_t CMeteredByteSource::Read(char* dest, std::size_t count) {
  if (m_meter.Stopped()) return 0;
  const std::size_t read = m_source.Read(dest, count);
  return m_meter.Advance(read) ? read : 0;
}

}  // namespace tracewell
