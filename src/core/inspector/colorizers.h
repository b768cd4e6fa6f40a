#pragma once
// The source colorizers of the page inspector: HTML, CSS and script text
// turned, in one pass each, into a complete RTF document in colour.
//
// The documents are UTF-16 like their input: every character RTF does not reserve is
// copied unchanged, non-ASCII included. A narrow (windows-1252) conversion before
// loading a rich-edit control belongs to the caller; the RTF renderer (rtf_runs.h) reads the UTF-16 document
// directly, so nothing is lost to that conversion.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tracewell {

// String resource 112: the header of the HTML and CSS documents (colour table: blue,
// red, green, grey, dark red).
inline constexpr std::u16string_view kRtfHeaderHtmlCss =
    uR"({\rtf1\ansi\ansicpg1252\deff0\deflang1030{\fonttbl{\f0\fswiss\fcharset0 Arial;}})"
    uR"({\colortbl ;\red0\green0\blue255;\red255\green0\blue0;\red0\green110\blue0;)"
    uR"(\red130\green130\blue130;\red128\green0\blue0;}\viewkind4\uc1\pard\f0\fs20 )";

// String resource 118: the header of the script documents (colour table: blue, dark
// blue, green, grey).
inline constexpr std::u16string_view kRtfHeaderScript =
    uR"({\rtf1\ansi\ansicpg1252\deff0\deflang1030{\fonttbl{\f0\fswiss\fcharset0 Arial;}})"
    uR"({\colortbl ;\red0\green0\blue255;\red0\green0\blue140;\red0\green140\blue0;)"
    uR"(\red130\green130\blue130;}\viewkind4\uc1\pard\f0\fs20 )";

// String resources 113 and 119, the same text: the end of every document.
inline constexpr std::u16string_view kRtfTrailer = uR"(\par})";

// The body's capacity for a text of `length` characters: eight times the length, but
// 8000 when that is below 4000. The body ends as soon as it comes within 256
// characters of the capacity (kRtfCapacityMargin), even in the middle of the text.
std::size_t RtfBodyCapacity(std::size_t length);
inline constexpr std::size_t kRtfCapacityMargin = 256;

// Each returns header + body + trailer (wrapped here, so the document is one
// allocation). An absent or empty text gives an empty body.
//
// Characters are UTF-16 code units throughout. Only ASCII counts as a letter or digit
// where the HTML colorizer copies a whole word in one step, and only ASCII letters
// fold where "SCRIPT" is matched in any case; no other rule looks at letters. The
// capacity cut-off falls between steps, so it may separate the two halves of a
// surrogate pair.
std::u16string ColorizeHtml(std::optional<std::u16string_view> text);
std::u16string ColorizeCss(std::optional<std::u16string_view> text);
std::u16string ColorizeScript(std::optional<std::u16string_view> text);

}  // namespace tracewell
