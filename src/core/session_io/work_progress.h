#pragma once
// Long work on session files (loading, saving, exporting) tells its host how far it
// has come, and the host may stop it: a window's Cancel button, a terminal's progress
// line.

#include <cstdint>

#include "session_io/byte_stream.h"
#include "session_io/file_io.h"

namespace tracewell {

class IWorkProgress {
 public:
  virtual ~IWorkProgress() = default;
  // `done` of `total` units (bytes read, records written); false asks the work to
  // stop where it is.
  virtual bool Continue(std::uint64_t done, std::uint64_t total) = 0;
};

// The error of work that its host stopped: nothing was kept of it.
FileError WorkStopped();

// Counts units of work and passes them on a thousandth of the total at a time, so
// that a host hears about a thousand times however long the work is.
class CProgressMeter {
 public:
  // Without `progress` the meter only counts.
  CProgressMeter(IWorkProgress* progress, std::uint64_t total);

  // False once the host asked to stop; it stays false from then on.
  bool Advance(std::uint64_t units = 1) {
    m_done += units;
    return m_done < m_nextReport ? !m_stopped : Report();
  }
  bool Stopped() const { return m_stopped; }

 private:
  bool Report();

  IWorkProgress* m_progress;
  std::uint64_t m_total;
  std::uint64_t m_done = 0;
  std::uint64_t m_nextReport;
  bool m_stopped = false;
};

// A source that counts its bytes on a meter as they are read; once the meter's host
// asked to stop, it reads nothing more and reports a failure.
class CMeteredByteSource final : public IByteSource {
 public:
  CMeteredByteSource(IByteSource& source, CProgressMeter& meter) : m_source(source), m_meter(meter) {}

  std::size_t Read(char* dest, std::size_t count) override;
  std::uint64_t Remaining() const override { return m_source.Remaining(); }
  bool Failed() const override { return m_meter.Stopped() || m_source.Failed(); }

 private:
  IByteSource& m_source;
  CProgressMeter& m_meter;
};

}  // namespace tracewell
