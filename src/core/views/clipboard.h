#pragma once
// The system clipboard as the copy commands use it: it takes narrow text.

#include <string_view>

namespace tracewell {

class IClipboard {
 public:
  virtual ~IClipboard() = default;
  virtual void SetText(std::string_view narrow) = 0;
};

}  // namespace tracewell
