#pragma once
// What turns the capture on and off (the recorder on Linux); the Start and Stop
// buttons reach it through the recording switch.

namespace tracewell {

class ICaptureSwitch {
 public:
  virtual ~ICaptureSwitch() = default;
  virtual void StartCapture() = 0;
  virtual void StopCapture() = 0;
};

}  // namespace tracewell
