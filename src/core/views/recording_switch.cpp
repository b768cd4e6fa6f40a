#include "views/recording_switch.h"

namespace tracewell {

CRecordingSwitch::~CRecordingSwitch() {
  if (m_bRecording) m_capture.StopCapture();
}

void CRecordingSwitch::Start() {
  if (m_bRecording) return;
  m_capture.StartCapture();
  m_bRecording = true;
}

void CRecordingSwitch::Stop() {
  if (!m_bRecording) return;
  m_capture.StopCapture();
  m_bRecording = false;
}

}  // namespace tracewell
