#pragma once
// Start and Stop as the user sees them: a pair of radio buttons over the capture.
// Recording is off until Start; Start while on and Stop while off change nothing.

#include "capture/capture_switch.h"

namespace tracewell {

class CRecordingSwitch {
 public:
  explicit CRecordingSwitch(ICaptureSwitch& capture) : m_capture(capture) {}
  // Going away while recording stops the capture.
  ~CRecordingSwitch();
  CRecordingSwitch(const CRecordingSwitch&) = delete;
  CRecordingSwitch& operator=(const CRecordingSwitch&) = delete;

  void Start();
  void Stop();

  bool IsRecording() const { return m_bRecording; }
  // Exactly one of the two buttons is checked.
  bool StartChecked() const { return m_bRecording; }
  bool StopChecked() const { return !m_bRecording; }

 private:
  ICaptureSwitch& m_capture;
  bool m_bRecording = false;
};

}  // namespace tracewell
