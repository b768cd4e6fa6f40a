// Arbitrary bytes into the RTF run renderer (the stand-in for the rich-edit control)
// and the three colorizers. The bytes are read twice: one character per byte, so that
// mutations of the ASCII seed documents stay close to RTF, and as UTF-16LE code units.
// Besides crashes and leaks it checks what holds for any input: runs are never empty,
// adjacent runs differ in style, and the runs hold no more characters than the input.
// Each text also goes through every colorizer, and the document must render back as
// the text itself (CR dropped; the trailer adds one line feed), or a prefix of it when
// the capacity cut the body. A script string drops an LF that follows a backslash, so
// line feeds are left out of that comparison.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "inspector/colorizers.h"
#include "inspector/rtf_runs.h"

namespace {

using namespace tracewell;

std::u16string TextOf(const std::vector<StyledRun>& runs) {
  std::u16string text;
  for (const StyledRun& run : runs) text += run.text;
  return text;
}

void CheckRuns(std::u16string_view rtf) {
  const std::vector<StyledRun> runs = RenderRtfRuns(rtf);
  std::size_t characters = 0;
  for (std::size_t k = 0; k < runs.size(); ++k) {
    const StyledRun& run = runs[k];
    if (run.text.empty()) std::abort();
    characters += run.text.size();
    if (k > 0) {
      const StyledRun& before = runs[k - 1];
      if (before.colour == run.colour && before.bold == run.bold && before.italic == run.italic) {
        std::abort();
      }
    }
  }
  if (characters > rtf.size()) std::abort();
}

std::u16string Without(std::u16string_view text, std::u16string_view dropped) {
  std::u16string out;
  for (const char16_t c : text) {
    if (dropped.find(c) == std::u16string_view::npos) out += c;
  }
  return out;
}

void CheckRoundTrip(std::u16string_view text, const std::u16string& document,
                    std::u16string_view header, std::u16string_view dropped) {
  const std::size_t body = document.size() - header.size() - kRtfTrailer.size();
  const bool mayBeCut = body + kRtfCapacityMargin >= RtfBodyCapacity(text.size());
  std::u16string shown = TextOf(RenderRtfRuns(document));
  if (shown.empty() || shown.back() != u'\n') std::abort();
  shown.pop_back();  // the trailer's \par
  shown = Without(shown, dropped);
  const std::u16string source = Without(text, dropped);
  if (mayBeCut ? !source.starts_with(shown) : shown != source) std::abort();
}

void CheckText(std::u16string_view text) {
  CheckRuns(text);
  CheckRoundTrip(text, ColorizeHtml(text), kRtfHeaderHtmlCss, u"\r");
  CheckRoundTrip(text, ColorizeCss(text), kRtfHeaderHtmlCss, u"\r");
  CheckRoundTrip(text, ColorizeScript(text), kRtfHeaderScript, u"\r\n");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::u16string bytes(data, data + size);
  CheckText(bytes);

  std::u16string units(size / 2, u'\0');
  for (std::size_t k = 0; k < units.size(); ++k) {
    units[k] = static_cast<char16_t>(data[2 * k] | (data[2 * k + 1] << 8));
  }
  CheckText(units);
  return 0;
}
