#pragma once
// The RTF the colorizers write, read back as styled runs of text: what the desktop
// app displays in place of a rich-edit control.
//
// Understood: groups, the colour table (\red, \green, \blue and ";"), \b, \i and \cf
// (with parameters), \plain, \par and \line (a line feed in the text), \tab, and the
// escapes \\, \{ and \}. The font table, other known destinations and any group that
// begins with \* are skipped with their text; other control words and symbols are
// ignored, and bare CR and LF are ignored as RTF wants. Any input is accepted:
// unbalanced braces are tolerated, nesting deeper than kRtfMaxGroupDepth stops
// saving styles, and the work is linear in the input.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tracewell {

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  bool operator==(const Rgb&) const = default;
};

// The colour of \cf0 and of an index the colour table does not have: black, the
// window text colour.
inline constexpr Rgb kRtfDefaultColour{0, 0, 0};

struct StyledRun {
  std::u16string text;  // never empty; a paragraph break is "\n"
  Rgb colour;
  bool bold = false;
  bool italic = false;
  bool operator==(const StyledRun&) const = default;
};

inline constexpr std::size_t kRtfMaxGroupDepth = 512;

// The document's text in runs; adjacent runs never have the same style.
std::vector<StyledRun> RenderRtfRuns(std::u16string_view rtf);

}  // namespace tracewell
