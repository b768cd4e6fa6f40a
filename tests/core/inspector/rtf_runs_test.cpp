#include "inspector/rtf_runs.h"

#include <gtest/gtest.h>

#include <string>

#include "inspector/colorizers.h"

namespace tracewell {
namespace {

using namespace std::string_literals;

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kHtmlGreen{0, 110, 0};
constexpr Rgb kGrey{130, 130, 130};
constexpr Rgb kDarkRed{128, 0, 0};
constexpr Rgb kDarkBlue{0, 0, 140};
constexpr Rgb kScriptGreen{0, 140, 0};

StyledRun Styled(std::u16string text, Rgb colour, bool bold = false, bool italic = false) {
  return StyledRun{std::move(text), colour, bold, italic};
}

std::u16string TextOf(const std::vector<StyledRun>& runs) {
  std::u16string text;
  for (const StyledRun& run : runs) text += run.text;
  return text;
}

// The run that holds `word`: it must lie within one run.
StyledRun RunWith(const std::vector<StyledRun>& runs, std::u16string_view word) {
  for (const StyledRun& run : runs) {
    if (run.text.find(word) != std::u16string::npos) return run;
  }
  ADD_FAILURE() << "no run holds the word";
  return {};
}

std::u16string WithoutCarriageReturns(std::u16string_view text) {
  std::u16string out;
  for (const char16_t c : text) {
    if (c != u'\r') out += c;
  }
  return out;
}

TEST(RtfRuns, EmptyDocumentIsOneParagraphBreak) {
  EXPECT_EQ(RenderRtfRuns(ColorizeHtml(std::nullopt)), std::vector{Styled(u"\n", kBlack)});
  EXPECT_EQ(RenderRtfRuns(ColorizeScript(u"")), std::vector{Styled(u"\n", kBlack)});
  EXPECT_TRUE(RenderRtfRuns(u"").empty());
}

TEST(RtfRuns, HtmlTagRunsInOrder) {
  const std::vector<StyledRun> expected = {
      Styled(u"<", kBlack, true),   Styled(u"a", kBlue),       Styled(u" href", kRed),
      Styled(u"=\"", kDarkRed),     Styled(u"x", kDarkRed, false, true),
      Styled(u"\"", kDarkRed),      Styled(u">", kBlack, true), Styled(u"Link", kBlack),
      Styled(u"<", kBlack, true),   Styled(u"/a", kBlue),      Styled(u">", kBlack, true),
      Styled(u"\n", kBlack)};
  EXPECT_EQ(RenderRtfRuns(ColorizeHtml(uR"(<a href="x">Link</a>)")), expected);
}

TEST(RtfRuns, HtmlCommentAndScriptBody) {
  const auto runs = RenderRtfRuns(
      ColorizeHtml(u"<!-- note -->\r\n<script type='x'>if (a<b) go();</SCRIPT>"));
  EXPECT_EQ(RunWith(runs, u"!-- note --"), Styled(u"!-- note --", kGrey));
  EXPECT_EQ(RunWith(runs, u"if (a<b) go();"), Styled(u"if (a<b) go();", kHtmlGreen));
  EXPECT_EQ(RunWith(runs, u"x"), Styled(u"x", kDarkRed, false, true));
  EXPECT_EQ(RunWith(runs, u"/SCRIPT"), Styled(u"/SCRIPT", kBlue));
}

TEST(RtfRuns, CssSelectorPropertyAndValue) {
  // The value and the closing brace share the default style; bold is on again after
  // the brace, so the trailer's paragraph break is bold.
  const std::vector<StyledRun> expected = {
      Styled(u"p", kBlack, true), Styled(u"{", kBlack), Styled(u"color", kBlue),
      Styled(u":red}", kBlack), Styled(u"\n", kBlack, true)};
  auto runs = RenderRtfRuns(ColorizeCss(u"p{color:red}"));
  EXPECT_EQ(runs, expected);
  runs = RenderRtfRuns(ColorizeCss(u"p{}h1{font:\"A\"}"));
  EXPECT_EQ(RunWith(runs, u"h1"), Styled(u"h1", kBlack, true));  // bold again after "}"
  EXPECT_EQ(RunWith(runs, u"A"), Styled(u"A", kBlack, false, true));
}

TEST(RtfRuns, ScriptWords) {
  const auto runs = RenderRtfRuns(ColorizeScript(
      u"var x;\n if (document.title) alert('hi {there}'); // done\n/* block */ double"));
  EXPECT_EQ(RunWith(runs, u"if"), Styled(u"if", kBlue));
  EXPECT_EQ(RunWith(runs, u"document"), Styled(u"document", kScriptGreen));
  EXPECT_EQ(RunWith(runs, u"alert"), Styled(u"alert", kDarkBlue));
  EXPECT_EQ(RunWith(runs, u"hi {there}"), Styled(u"hi {there}", kBlack, false, true));
  EXPECT_EQ(RunWith(runs, u"// done"), Styled(u"// done", kGrey));
  EXPECT_EQ(RunWith(runs, u"* block *"), Styled(u"* block */", kGrey));
  EXPECT_EQ(RunWith(runs, u"var"), Styled(u"var x;\n ", kBlack));  // at the start: not coloured
  EXPECT_EQ(runs.back(), Styled(u" double\n", kBlack));
}

// What the colorizers write shows the source text again: CR dropped, every LF kept
// as a paragraph break, plus the trailer's final break.
TEST(RtfRuns, ColorizedTextRendersAsTheSourceText) {
  const std::u16string html =
      u"<html>\r\n<body bgcolor=\"#fff\" onload='x{}'>\\ é 日本 \U0001F600\n"
      u"<!-- c -->\n<script>\nif (a) { b = \"\\\\\"; }\n</script></body></html>";
  const std::u16string script =
      u"function f(a) {\r\n  // {c}\\\n  return \"\\{x\\}\" + a; /* } */\n}";
  const std::u16string css = u"a:hover, p { color: \"{red}\"; } \\\r\n";
  EXPECT_EQ(TextOf(RenderRtfRuns(ColorizeHtml(html))), WithoutCarriageReturns(html) + u"\n");
  EXPECT_EQ(TextOf(RenderRtfRuns(ColorizeScript(script))), WithoutCarriageReturns(script) + u"\n");
  EXPECT_EQ(TextOf(RenderRtfRuns(ColorizeCss(css))), WithoutCarriageReturns(css) + u"\n");
}

TEST(RtfRuns, AdjacentRunsOfEqualStyleMerge) {
  EXPECT_EQ(RenderRtfRuns(uR"({\rtf1 a\b0 b\cf0 c\i0\plain d\par e})"),
            std::vector{Styled(u"ab" u"cd\ne", kBlack)});
  // Two colour indexes of the same colour are one style.
  EXPECT_EQ(RenderRtfRuns(uR"({{\colortbl;\red1\green2\blue3;\red1\green2\blue3;}\cf1 a\cf2 b})"),
            std::vector{Styled(u"ab", Rgb{1, 2, 3})});
}

TEST(RtfRuns, GroupsRestoreTheStyle) {
  EXPECT_EQ(RenderRtfRuns(uR"({\b a{\i b}c})"),
            (std::vector{Styled(u"a", kBlack, true), Styled(u"b", kBlack, true, true),
                         Styled(u"c", kBlack, true)}));
}

TEST(RtfRuns, SkipsDestinationsAndUnknownControls) {
  EXPECT_EQ(RenderRtfRuns(uR"({\rtf1{\fonttbl{\f0 Arial;}}{\*\generator x;}{\*\foo{y}z})"
                          uR"(\unknownword123 a\~b\-c{\info{\title t}}\tab d})"),
            std::vector{Styled(u"abc\td", kBlack)});
  EXPECT_EQ(RenderRtfRuns(uR"({\'e9\'80\'zz})"), std::vector{Styled(u"é€zz", kBlack)});
}

TEST(RtfRuns, ColourIndexesOutsideTheTableAreTheDefault) {
  const std::u16string doc = std::u16string(kRtfHeaderScript) + uR"(\cf9 a\cf-1 b\cf4 c\cf99999999999 d})";
  EXPECT_EQ(RenderRtfRuns(doc), (std::vector{Styled(u"ab", kBlack), Styled(u"c", kGrey), Styled(u"d", kBlack)}));
  // Components above 255 are clamped.
  EXPECT_EQ(RenderRtfRuns(uR"({{\colortbl;\red300\green-5\blue7;}\cf1 a})"),
            std::vector{Styled(u"a", Rgb{255, 0, 7})});
}

TEST(RtfRuns, ToleratesBrokenInput) {
  EXPECT_EQ(RenderRtfRuns(u"}}}a{{{b"), std::vector{Styled(u"ab", kBlack)});
  EXPECT_EQ(RenderRtfRuns(u"a\\"), std::vector{Styled(u"a", kBlack)});
  EXPECT_EQ(RenderRtfRuns(u"\\b"), std::vector<StyledRun>{});
  EXPECT_EQ(RenderRtfRuns(u"\\fonttbl a"), std::vector{Styled(u"a", kBlack)});  // not in a group
  EXPECT_EQ(RenderRtfRuns(u"{\\*}x"), std::vector{Styled(u"x", kBlack)});

  // Nesting far beyond the depth limit: bounded memory, the text still comes out.
  std::u16string deep(100'000, u'{');
  deep += u"\\b x";
  deep += std::u16string(100'000, u'}');
  deep += u"y";
  const auto runs = RenderRtfRuns(deep);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0], Styled(u"x", kBlack, true));
  EXPECT_EQ(runs[1].text, u"y");
}

TEST(RtfRuns, NonAsciiAndNulPassThrough) {
  const std::u16string text = u"x\0y\u00E9\U0001F600\xD800"s;
  EXPECT_EQ(TextOf(RenderRtfRuns(ColorizeHtml(text))), text + u"\n");
}

}  // namespace
}  // namespace tracewell
