#include <gtest/gtest.h>

#include <climits>

#include "text/code_page.h"
#include "text/format.h"
#include "text/utf8.h"

namespace tracewell {
namespace {

using namespace std::string_literals;

TEST(CodePage, EveryByteRoundTrips) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::u16string wide = FromCodePage(all);
  ASSERT_EQ(wide.size(), 256u);
  EXPECT_EQ(ToCodePage(wide), all);
}

TEST(CodePage, MapsLikeWindows1252) {
  EXPECT_EQ(FromCodePage("\x80\x81\x8D\x8F\x90\x99\x9D\x9F\xA0\xE9\xFF"),
            u"\u20AC\u0081\u008D\u008F\u0090\u2122\u009D\u0178\u00A0\u00E9\u00FF");
  EXPECT_EQ(ToCodePage(u"\u20AC\u2122\u0178 caf\u00E9"), "\x80\x99\x9F caf\xE9");
}

TEST(CodePage, AByteOfTheHighControlsMapsWhereverItStands) {
  // Long text is widened in steps of several bytes, then one by one at its end.
  for (std::size_t at = 0; at < 40; ++at) {
    std::string bytes(40, 'a');
    bytes[at] = '\x80';
    std::u16string expected(40, u'a');
    expected[at] = u'\u20AC';
    EXPECT_EQ(FromCodePage(bytes), expected) << "at " << at;
  }
  EXPECT_EQ(FromCodePage(std::string(33, 'z')), std::u16string(33, u'z'));
}

TEST(CodePage, UnrepresentableCharacterBecomesOneQuestionMark) {
  EXPECT_EQ(ToCodePage(u"a\u65E5b"), "a?b");
  EXPECT_EQ(ToCodePage(u"\u0080\u0100"), "??");  // C1 control 1252 maps elsewhere; Ā
  EXPECT_EQ(ToCodePage(u"x\U0001F600y"), "x?y");     // surrogate pair: one character
  EXPECT_EQ(ToCodePage(u"x\xD800y\xDC00"), "x?y?");  // lone surrogates
}

TEST(CodePage, UntilNulStopsAtTheFirstZeroByte) {
  EXPECT_EQ(FromCodePageUntilNul("ab\0cd"s), u"ab");
  EXPECT_EQ(FromCodePageUntilNul("\0"s), u"");
  EXPECT_EQ(FromCodePageUntilNul("abc"), u"abc");
  EXPECT_EQ(FromCodePage("ab\0cd"s), u"ab\0cd"s);
}

TEST(CodePage, AppendKeepsWhatIsThere) {
  std::string out = "head:";
  AppendCodePage(out, u"\u20AC\u65E5");
  EXPECT_EQ(out, "head:\x80?");
}

TEST(Utf8, EncodesEveryLength) {
  EXPECT_EQ(ToUtf8(u"A\u00E9\u20AC\U0001F600"), "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
  EXPECT_EQ(FromUtf8("A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"), u"A\u00E9\u20AC\U0001F600");
}

TEST(Utf8, MalformedInputBecomesReplacementCharacters) {
  EXPECT_EQ(ToUtf8(u"a\xD800"), "a\xEF\xBF\xBD");             // lone high surrogate
  EXPECT_EQ(ToUtf8(u"\xDC00z"), "\xEF\xBF\xBDz");             // lone low surrogate
  EXPECT_EQ(FromUtf8("a\xFF" "b"), u"a\uFFFDb");               // invalid lead byte
  EXPECT_EQ(FromUtf8("\xC0\xAF"), u"\uFFFD\uFFFD");            // overlong "/"
  EXPECT_EQ(FromUtf8("\xED\xA0\x80"), u"\uFFFD");              // encoded surrogate
  EXPECT_EQ(FromUtf8("\xE2\x82" "A"), u"\uFFFDA");             // truncated, next kept
  EXPECT_EQ(FromUtf8("\xF4\x90\x80\x80"), u"\uFFFD");          // above U+10FFFF
  EXPECT_EQ(FromUtf8("\xE2\x82"), u"\uFFFD");                  // truncated at the end
}

TEST(FormatText, ProducesThePrintfTexts) {
  EXPECT_EQ(FormatText("%d", 0), u"0");
  EXPECT_EQ(FormatText("%d", INT_MIN), u"-2147483648");
  EXPECT_EQ(FormatText("%ld", 4294967296L), u"4294967296");
  EXPECT_EQ(FormatText("%.3f", 1.0005), u"1.000");  // binary rounding, as printf does
  EXPECT_EQ(FormatText("%.3f", -0.25), u"-0.250");
  EXPECT_EQ(FormatText("%.3f", 12345678.9), u"12345678.900");
  EXPECT_EQ(FormatText("%d:%d:%d %d", 9, 5, 3, 7), u"9:5:3 7");
  EXPECT_EQ(FormatText("%.3f", 1e80).size(), 85u);  // longer than any small buffer
}

}  // namespace
}  // namespace tracewell
