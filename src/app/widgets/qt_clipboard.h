#pragma once
// The system clipboard through Qt. The copy commands hand over narrow text in the
// program's code page; the clipboard receives the same characters as Unicode text.

#include "views/clipboard.h"

namespace tracewell::app {

class CQtClipboard final : public IClipboard {
 public:
  void SetText(std::string_view narrow) override;
};

}  // namespace tracewell::app
