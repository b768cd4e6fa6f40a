#pragma once
// A clipboard for tests: it keeps the last text put on it, and starts with "old" so
// that a test sees whether anything was put there at all.

#include <string>

#include "views/clipboard.h"

namespace tracewell::testing {

class FakeClipboard final : public IClipboard {
 public:
  std::string text = "old";
  void SetText(std::string_view narrow) override { text = narrow; }
};

}  // namespace tracewell::testing
