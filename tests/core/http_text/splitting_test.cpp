#include "http_text/splitting.h"

#include <gtest/gtest.h>

#include <vector>

#include "http_text/network_errors.h"

namespace tracewell {
namespace {

std::vector<std::u16string> Pieces(std::u16string_view text, std::u16string_view separators) {
  std::vector<std::u16string> pieces;
  ForEachPiece(text, separators, [&](std::u16string_view piece) { pieces.emplace_back(piece); });
  return pieces;
}

using Strings = std::vector<std::u16string>;

TEST(ForEachPiece, RunsOfSeparatorsCutOnceAndNothingIsEmpty) {
  EXPECT_EQ(Pieces(u"\r\n\r\nGET / HTTP/1.1\r\n\n\rHost: x\r\n\r\n", kLineBreaks),
            (Strings{u"GET / HTTP/1.1", u"Host: x"}));
  EXPECT_EQ(Pieces(u";;a=1;; b=2;", u";"), (Strings{u"a=1", u" b=2"}));
  EXPECT_EQ(Pieces(u"&&&", u"&"), Strings{});
  EXPECT_EQ(Pieces(u"", u"&"), Strings{});
  EXPECT_EQ(Pieces(u"x\r\ny", u"&"), Strings{u"x\r\ny"});  // line breaks are ordinary here
}

TEST(ForEachLine, CutsAsForEachPieceDoesAtLineBreaks) {
  for (const std::u16string_view text :
       {u"", u"\r\n", u"GET / HTTP/1.1\r\nHost: x\r\n\r\n", u"\n\rA\rB\nC", u"only", u"\r\r\nx\n\n"}) {
    Strings lines;
    ForEachLine(text, [&](std::u16string_view line) { lines.emplace_back(line); });
    EXPECT_EQ(lines, Pieces(text, kLineBreaks)) << static_cast<int>(text.size());
  }
}

TEST(LineBreakAt, FindsTheFirstBreakWhereverItStands) {
  // Long text is compared several units at a time, then one by one at its end.
  for (const char16_t lineBreak : {u'\r', u'\n'}) {
    for (std::size_t at = 0; at < 40; ++at) {
      std::u16string text(40, u'x');
      text[at] = lineBreak;
      text[39] = u'\n';
      EXPECT_EQ(LineBreakAt(text, 0), at);
      EXPECT_EQ(LineBreakAt(text, at), at);
      EXPECT_EQ(LineBreakAt(text, at + 1), at == 39 ? 40u : 39u) << "after " << at;
    }
  }
  EXPECT_EQ(LineBreakAt(std::u16string(33, u'x'), 0), 33u);
  // Units that hold the byte of CR or LF but are neither.
  EXPECT_EQ(LineBreakAt(u"a\u0D0Ab\u0A0Dc\u0D00\u000Bd\u0A00efghijklm\r", 0), 18u);
  EXPECT_EQ(LineBreakAt(u"ab", 7), 2u);
}

TEST(SplitAtFirst, NeedsTheSeparatorPastTheFirstCharacter) {
  const auto field = SplitAtFirst(u"Host:  a:b ", u':');
  ASSERT_TRUE(field.has_value());
  EXPECT_EQ(field->name, u"Host");
  EXPECT_EQ(field->value, u"  a:b ");
  EXPECT_FALSE(SplitAtFirst(u":authority: x", u':').has_value());
  EXPECT_FALSE(SplitAtFirst(u"no colon", u':').has_value());
  EXPECT_EQ(SplitAtFirst(u"z=2=3", u'=')->value, u"2=3");
  EXPECT_EQ(SplitAtFirst(u"y=", u'=')->value, u"");
}

TEST(Trim, RemovesWhiteSpaceAtBothEndsOnly) {
  EXPECT_EQ(Trim(u" \t x y \r\n\v\f"), u"x y");
  EXPECT_EQ(Trim(u"   "), u"");
  EXPECT_EQ(Trim(u"\u00A0x"), u"\u00A0x");  // no-break space is not white space here
}

TEST(LeadingInteger, ReadsLikeAtoi) {
  EXPECT_EQ(LeadingInteger(u"12029"), 12029);
  EXPECT_EQ(LeadingInteger(u"  +12002 trailing"), 12002);
  EXPECT_EQ(LeadingInteger(u"-5"), -5);
  EXPECT_EQ(LeadingInteger(u"(Aborted)"), 0);
  EXPECT_EQ(LeadingInteger(u""), 0);
  EXPECT_EQ(LeadingInteger(u"99999999999999999999"), 2147483647);
  EXPECT_EQ(LeadingInteger(u"-99999999999999999999"), -2147483648);
}

TEST(InternetErrorName, CoversExactly12000To12056) {
  EXPECT_EQ(InternetErrorName(12000), u"INTERNET_ERROR_BASE");
  EXPECT_EQ(InternetErrorName(12029), u"ERROR_INTERNET_CANNOT_CONNECT");
  EXPECT_EQ(InternetErrorName(12035), u"undefined");
  EXPECT_EQ(InternetErrorName(12056), u"ERROR_INTERNET_SEC_CERT_REV_FAILED");
  EXPECT_FALSE(InternetErrorName(11999).has_value());
  EXPECT_FALSE(InternetErrorName(12057).has_value());
  for (int code = 12001; code <= 12056; ++code) {
    EXPECT_TRUE(InternetErrorName(code)->starts_with(u"ERROR_INTERNET_") || code == 12035) << code;
  }
}

}  // namespace
}  // namespace tracewell
