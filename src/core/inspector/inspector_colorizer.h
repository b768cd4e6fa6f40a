#pragma once
// The source colourers the inspector shows text through. Each returns a complete RTF
// document (header, coloured body, trailer) in UTF-16.

#include <string>
#include <string_view>

#include "inspector/colorizers.h"

namespace tracewell {

class ISourceColorizer {
 public:
  virtual ~ISourceColorizer() = default;
  virtual std::u16string ColorizeHtml(std::u16string_view html) const = 0;
  virtual std::u16string ColorizeCss(std::u16string_view css) const = 0;
  virtual std::u16string ColorizeScript(std::u16string_view script) const = 0;
};

// The colorizers themselves; hosts hand this to the inspector.
class CSourceColorizer final : public ISourceColorizer {
 public:
  std::u16string ColorizeHtml(std::u16string_view html) const override {
    return tracewell::ColorizeHtml(html);
  }
  std::u16string ColorizeCss(std::u16string_view css) const override {
    return tracewell::ColorizeCss(css);
  }
  std::u16string ColorizeScript(std::u16string_view script) const override {
    return tracewell::ColorizeScript(script);
  }
};

}  // namespace tracewell
