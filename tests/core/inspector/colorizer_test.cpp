#include "inspector/colorizers.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace tracewell {
namespace {

using namespace std::string_literals;

// The body of a document, after checking its header and trailer.
std::u16string BodyOf(const std::u16string& document, std::u16string_view header) {
  EXPECT_TRUE(document.starts_with(header));
  EXPECT_TRUE(document.ends_with(kRtfTrailer));
  if (document.size() < header.size() + kRtfTrailer.size()) return document;
  return document.substr(header.size(), document.size() - header.size() - kRtfTrailer.size());
}

std::u16string Html(std::u16string_view text) { return BodyOf(ColorizeHtml(text), kRtfHeaderHtmlCss); }
std::u16string Css(std::u16string_view text) { return BodyOf(ColorizeCss(text), kRtfHeaderHtmlCss); }
std::u16string Script(std::u16string_view text) { return BodyOf(ColorizeScript(text), kRtfHeaderScript); }

std::u16string Repeat(std::u16string_view piece, std::size_t times) {
  std::u16string out;
  for (std::size_t k = 0; k < times; ++k) out += piece;
  return out;
}

TEST(Colorizer, HeadersAndTrailerAreTheStringResources) {
  EXPECT_EQ(kRtfHeaderHtmlCss,
            uR"({\rtf1\ansi\ansicpg1252\deff0\deflang1030{\fonttbl{\f0\fswiss\fcharset0 Arial;}}{\colortbl ;\red0\green0\blue255;\red255\green0\blue0;\red0\green110\blue0;\red130\green130\blue130;\red128\green0\blue0;}\viewkind4\uc1\pard\f0\fs20 )");
  EXPECT_EQ(kRtfHeaderScript,
            uR"({\rtf1\ansi\ansicpg1252\deff0\deflang1030{\fonttbl{\f0\fswiss\fcharset0 Arial;}}{\colortbl ;\red0\green0\blue255;\red0\green0\blue140;\red0\green140\blue0;\red130\green130\blue130;}\viewkind4\uc1\pard\f0\fs20 )");
  EXPECT_EQ(kRtfTrailer, uR"(\par})");
}

TEST(Colorizer, AbsentOrEmptyTextGivesHeaderAndTrailer) {
  const std::u16string htmlCss = std::u16string(kRtfHeaderHtmlCss) + uR"(\par})";
  const std::u16string script = std::u16string(kRtfHeaderScript) + uR"(\par})";
  EXPECT_EQ(ColorizeHtml(std::nullopt), htmlCss);
  EXPECT_EQ(ColorizeHtml(u""), htmlCss);
  EXPECT_EQ(ColorizeCss(std::nullopt), htmlCss);
  EXPECT_EQ(ColorizeCss(u""), htmlCss);  // no "\b " either
  EXPECT_EQ(ColorizeScript(std::nullopt), script);
  EXPECT_EQ(ColorizeScript(u""), script);
}

TEST(Colorizer, CapacityIsEightTimesTheLengthOr8000BelowFourThousand) {
  EXPECT_EQ(RtfBodyCapacity(0), 8000u);
  EXPECT_EQ(RtfBodyCapacity(499), 8000u);
  EXPECT_EQ(RtfBodyCapacity(500), 4000u);  // 8 x 500 is not below 4000
  EXPECT_EQ(RtfBodyCapacity(1000), 8000u);
  EXPECT_EQ(RtfBodyCapacity(5'000'000), 40'000'000u);
}

// ---- HTML

TEST(HtmlColorizer, TagNameAttributesAndQuotedValue) {
  EXPECT_EQ(Html(uR"(<a href="x.html">Link</a>)"),
            uR"(\b <\b0\cf1 a\cf2  href\cf5 ="\i x.html\i0 "\cf0\b >\b0 Link\b <\b0\cf1 /a\cf0\b >\b0 )");
  // An apostrophe opens a value too, and only the same quote closes it.
  EXPECT_EQ(Html(uR"(<p title='say "hi"'>)"),
            uR"(\b <\b0\cf1 p\cf2  title\cf5 ='\i say "hi"\i0 '\cf0\b >\b0 )");
  // A ">" inside a quoted value does not close the tag; outside a tag it is plain.
  EXPECT_EQ(Html(uR"(<b x="a>b">c>d=e "f")"),
            uR"(\b <\b0\cf1 b\cf2  x\cf5 ="\i a>b\i0 "\cf0\b >\b0 c>d=e "f")");
}

TEST(HtmlColorizer, CommentIsGreyAndEndsWithTheBoldGreaterThan) {
  EXPECT_EQ(Html(u"a<!-- x <b> -->b"),
            uR"(a\b <\b0\cf1 \cf4 !-- x <b> --\cf0\b >\b0 b)");
  // "--" without ">" goes on with the comment.
  EXPECT_EQ(Html(u"<!-- -- x -->"), uR"(\b <\b0\cf1 \cf4 !-- -- x --\cf0\b >\b0 )");
}

TEST(HtmlColorizer, ScriptBodyInAnyCaseIsGreenUpToTheClosingTag) {
  EXPECT_EQ(Html(uR"(<Script>if (a<b) x="<p>";</sCRIPT>z)"),
            uR"(\b <\b0\cf1 Script\cf0\b >\b0\cf3 if (a<b) x="<p>";\cf0 \b <\b0\cf1 /sCRIPT\cf0\b >\b0 z)");
  // With attributes, and "</script" preceded by other "<" characters.
  EXPECT_EQ(Html(uR"(<SCRIPT src="a.js"><</ b</script>)"),
            uR"(\b <\b0\cf1 SCRIPT\cf2  src\cf5 ="\i a.js\i0 "\cf0\b >\b0\cf3 <</ b\cf0 \b <\b0\cf1 /script\cf0\b >\b0 )");
  // After the script, tags are coloured again and no script body follows.
  EXPECT_EQ(Html(u"<script></script><p>"),
            uR"(\b <\b0\cf1 script\cf0\b >\b0\cf3 \cf0 \b <\b0\cf1 /script\cf0\b >\b0 \b <\b0\cf1 p\cf0\b >\b0 )");
}

TEST(HtmlColorizer, LineFeedsInsideATagContinueWithAttributes) {
  EXPECT_EQ(Html(u"<a\r\nhref=1>x\r\ny"),
            uR"(\b <\b0\cf1 a\par \cf2 )"s + u"\n" + uR"(href\cf5 =1\cf0\b >\b0 x\par )" + u"\ny");
}

TEST(HtmlColorizer, BlankRunsAndEscapes) {
  EXPECT_EQ(Html(u"<a  \t\tb>"), uR"(\b <\b0\cf1 a\cf2   \cf2 )"s + u"\t\t" + uR"(b\cf0\b >\b0 )");
  EXPECT_EQ(Html(uR"(<p x={\}>{a\b})"),
            uR"(\b <\b0\cf1 p\cf2  x\cf5 =\{\\\}\cf0\b >\b0 \{a\\b\})");
}

TEST(HtmlColorizer, NonAsciiIsCopiedUnchanged) {
  EXPECT_EQ(Html(u"<é x='日本'>\u00A0\U0001F600"),
            uR"(\b <\b0\cf1 é\cf2  x\cf5 ='\i 日本\i0 '\cf0\b >\b0 )"s + u"\u00A0\U0001F600");
}

// 500 "<>" pairs: the capacity is 8000 (length 1000), the body stops once it holds
// 7744 characters or more. Each pair writes 24, so the body ends after the ">" of
// the 323rd pair (7752 characters) and the trailer still closes the document.
TEST(HtmlColorizer, CapacityCutsTheBodyButKeepsTheTrailer) {
  const std::u16string pair = uR"(\b <\b0\cf1 \cf0\b >\b0 )";
  ASSERT_EQ(pair.size(), 24u);
  const std::u16string document = ColorizeHtml(Repeat(u"<>", 500));
  EXPECT_EQ(document, std::u16string(kRtfHeaderHtmlCss) + Repeat(pair, 323) + uR"(\par})");
}

// ---- CSS

TEST(CssColorizer, OneDeclarationRule) {
  EXPECT_EQ(Css(u"p{color:red}"), uR"(\b p\b0 \{\cf1 color\cf0 :red\cf0 \}\b1 )");
}

TEST(CssColorizer, SelectorsRulesAndQuotedStrings) {
  EXPECT_EQ(Css(uR"(a:hover, "x" { color: red; font: "A{r}i;a:l" }
)"),
            uR"(\b a:hover, "x" \b0 \{\cf1  color\cf0 : red\cf1 ; font\cf0 : "\i A\{r\}i;a:l\i0 " \cf0 \}\b1 \par )");
  EXPECT_EQ(Css(u"a\\b\r\n}{'x'"), uR"(\b a\\b\par \}\b0 \{\cf1 'x')");
}

TEST(CssColorizer, CapacityCutsTheBodyButKeepsTheTrailer) {
  // "{}" writes 22 characters; 1000 pairs: capacity 16000, stop at 15744 or more.
  const std::u16string pair = uR"(\b0 \{\cf1 \cf0 \}\b1 )";
  ASSERT_EQ(pair.size(), 22u);
  // "\b " (3) + 715 pairs = 15733 < 15744; the "{" of pair 716 brings 15744.
  const std::u16string expected =
      uR"(\b )"s + Repeat(pair, 715) + uR"(\b0 \{\cf1 )";
  EXPECT_EQ(ColorizeCss(Repeat(u"{}", 1000)),
            std::u16string(kRtfHeaderHtmlCss) + expected + uR"(\par})");
}

// ---- script

TEST(ScriptColorizer, ObjectNeedsAFullStop) {
  EXPECT_EQ(Script(u" document.title"), uR"( \cf3 document\cf0 .title)");
  EXPECT_EQ(Script(u" document x"), u" document x");
  EXPECT_EQ(Script(u" this"), u" this");  // the end of the text is no full stop
  EXPECT_EQ(Script(u"(window.Math.PI)"), uR"((\cf3 window\cf0 .\cf3 Math\cf0 .PI))");
}

TEST(ScriptColorizer, KeywordInsideAnIdentifierIsNotColoured) {
  EXPECT_EQ(Script(u" double do x"), uR"( double \cf1 do\cf0  x)");
  EXPECT_EQ(Script(u" undo todo doit"), u" undo todo doit");
  EXPECT_EQ(Script(u" ifx inx"), u" ifx inx");
}

TEST(ScriptColorizer, KeywordAtTheVeryStartIsNotColoured) {
  EXPECT_EQ(Script(u"if (x) return;"), uR"(if (x) \cf1 return\cf0 ;)");
  EXPECT_EQ(Script(u" if (x)"), uR"( \cf1 if\cf0  (x))");
  EXPECT_EQ(Script(u"\nif"), uR"(\par )"s + u"\n" + uR"(\cf1 if)");  // end of text ends it
}

TEST(ScriptColorizer, FunctionsIncludingWordsThatArePrefixesOfOthers) {
  EXPECT_EQ(Script(u" parseInt(s)+parse(t)+parseFloat(u)"),
            uR"( \cf2 parseInt\cf0 (s)+\cf2 parse\cf0 (t)+\cf2 parseFloat\cf0 (u))");
  EXPECT_EQ(Script(u";alert(isNaN(eval(x)))"),
            uR"(;\cf2 alert\cf0 (\cf2 isNaN\cf0 (\cf2 eval\cf0 (x))))");
  EXPECT_EQ(Script(u" typeof valueof var void while with"),
            uR"( \cf1 typeof\cf0  \cf1 valueof\cf0  \cf1 var\cf0  \cf1 void\cf0  \cf1 while\cf0  \cf1 with)");
  EXPECT_EQ(Script(u" Alert Document If"), u" Alert Document If");  // case-sensitive
}

TEST(ScriptColorizer, StringsAreItalicWithEscapes) {
  EXPECT_EQ(Script(uR"( a = "if {x}\"y" + 'z"';)"),
            uR"( a = "\i if \{x\}\\"y\i0 " + '\i z"\i0 ';)");
  EXPECT_EQ(Script(uR"(x="\\";y="\{")"), uR"(x="\i \\\\\i0 ";y="\i \\\{\i0 ")");
  // Outside a string a backslash is a delimiter and the next character is not skipped.
  EXPECT_EQ(Script(uR"(x\if )"), uR"(x\\\cf1 if\cf0  )");
}

TEST(ScriptColorizer, LineAndBlockComments) {
  EXPECT_EQ(Script(u"x; // if 'a'\r\ny"),
            uR"(x; \cf4 // if 'a'\cf0\par )"s + u"\ny");
  EXPECT_EQ(Script(u" /* do */ do;"), uR"( /\cf4 * do */\cf0  \cf1 do\cf0 ;)");
  EXPECT_EQ(Script(u"a/b"), u"a/b");
}

TEST(ScriptColorizer, BracesAndNonAscii) {
  EXPECT_EQ(Script(u"{if(é){return}}"), uR"(\{\cf1 if\cf0 (é)\{\cf1 return\cf0 \}\})");
  EXPECT_EQ(Script(u" 日本 \U0001F600;"), u" 日本 \U0001F600;");
}

// No script can come near its capacity: the densest patterns write under six
// characters per input character, the capacity is eight.
TEST(ScriptColorizer, DensestTextIsNotCut) {
  const std::u16string text = Repeat(u"do\n", 10'000);
  const std::u16string body = Script(text);
  EXPECT_TRUE(body.ends_with(uR"(\cf1 do\cf0 \par )"s + u"\n"));
  EXPECT_LT(body.size(), 6 * text.size());
}

// The script state table applied literally: one character per step, every word list
// searched from its first word. The oracle for the colorizer, which copies runs of
// ordinary characters at once and starts each search at the first useful word.
class CReferenceScript {
 public:
  explicit CReferenceScript(std::u16string_view text) : m_text(text) {}

  std::u16string Body() {
    const std::size_t stop = RtfBodyCapacity(m_text.size()) - kRtfCapacityMargin;
    while (m_at < m_text.size() && m_out.size() < stop) Step(m_text[m_at++]);
    return m_out;
  }

 private:
  enum State { kCode, kWord, kString, kLineComment, kBlockComment };
  struct List {
    std::vector<std::u16string_view> words;
    std::u16string_view colour;
    bool fullStop;
  };

  static bool IsDelimiter(char16_t c) {
    return std::u16string_view(u" \r\n\t:;.,'\"\\=<>+-*/!|&?~(){}[]^").find(c) !=
           std::u16string_view::npos;
  }
  char16_t At(std::size_t i) const { return i < m_text.size() ? m_text[i] : char16_t{0}; }

  void DelimiterStep(char16_t c) {
    if (IsDelimiter(c) && m_state == kWord) {
      m_out += uR"(\cf0 )";
      m_state = kCode;
    }
    m_flag = IsDelimiter(c);
  }
  void Escaped(char16_t c) {
    if (c == u'\\' || c == u'{' || c == u'}') m_out += u'\\';
    m_out += c;
  }
  void Enter(State state, std::u16string_view output) {
    m_out += output;
    m_state = state;
    m_flag = true;
  }

  void Step(char16_t c) {
    const char16_t next = At(m_at);
    const char16_t previous = m_at >= 2 ? m_text[m_at - 2] : char16_t{0};
    if (c == u'\n') {
      DelimiterStep(c);
      if (m_state == kLineComment) {
        m_out += uR"(\cf0)";
        m_state = kCode;
      }
      m_out += u"\\par \n";
    } else if (c == u'\r') {
    } else if ((c == u'"' || c == u'\'') && m_state == kCode) {
      m_out += c;
      m_out += uR"(\i )";
      m_quote = c;
      m_state = kString;
    } else if ((c == u'"' || c == u'\'') && m_state == kString && c == m_quote) {
      m_out += uR"(\i0 )";
      m_out += c;
      m_state = kCode;
    } else if (c == u'"' || c == u'\'') {
      m_out += c;
    } else if (c == u'/' && m_state == kCode && next == u'/') {
      Enter(kLineComment, uR"(\cf4 /)");
    } else if (c == u'/' && m_state == kCode && next == u'*') {
      Enter(kBlockComment, uR"(/\cf4 )");
    } else if (c == u'/' && m_state == kBlockComment && previous == u'*') {
      Enter(kCode, uR"(/\cf0 )");
    } else if (c == u'\\') {
      DelimiterStep(c);
      m_out += uR"(\\)";
      if (m_state == kString && m_at < m_text.size()) Escaped(m_text[m_at++]);
    } else if (c == u'{' || c == u'}') {
      DelimiterStep(c);
      Escaped(c);
    } else if (c != u'/' && m_state == kCode && m_flag && !IsDelimiter(c)) {
      WordStep();
    } else {
      DelimiterStep(c);
      m_out += c;
    }
  }

  void WordStep() {
    const std::size_t at = m_at - 1;
    for (const List& list : m_lists) {
      for (const std::u16string_view word : list.words) {
        const std::u16string_view text = m_text.substr(at, word.size());  // shorter at the end
        if (text < word) break;
        const char16_t after = At(at + word.size());
        const bool ends = list.fullStop ? after == u'.' : at + word.size() >= m_text.size() || IsDelimiter(after);
        if (text == word && ends) {
          m_out += list.colour;
          m_out += word;
          m_state = kWord;
          m_at = at + word.size();
          return;
        }
      }
    }
    while (m_at < m_text.size() && !IsDelimiter(m_text[m_at])) ++m_at;
    m_out += m_text.substr(at, m_at - at);
  }

  std::u16string_view m_text;
  std::size_t m_at = 0;
  std::u16string m_out;
  State m_state = kCode;
  bool m_flag = false;
  char16_t m_quote = 0;
  const List m_lists[3] = {
      {{u"break", u"case", u"catch", u"continue", u"delete", u"do", u"else", u"function", u"if",
        u"in", u"new", u"return", u"switch", u"throw", u"try", u"typeof", u"valueof", u"var",
        u"void", u"while", u"with"},
       uR"(\cf1 )", false},
      {{u"alert", u"escape", u"eval", u"isNaN", u"parse", u"parseFloat", u"parseInt", u"unescape"},
       uR"(\cf2 )", false},
      {{u"Array", u"Math", u"Number", u"Object", u"document", u"event", u"history", u"location",
        u"navigator", u"screen", u"this", u"window"},
       uR"(\cf3 )", true}};
};

// Random token soup: words of the lists and near misses, every delimiter, quotes,
// comment marks, escapes, line ends and non-ASCII characters.
std::u16string RandomScript(std::mt19937& random) {
  static const std::u16string_view kTokens[] = {
      u"do", u"double", u"if", u"in", u"inx", u"parse", u"parseFloat", u"parseIn", u"document",
      u"this", u"window", u"Zeta", u"x", u"_a1", u"é", u"日", u"\U0001F600", u" ", u"  ", u"\t",
      u"\r\n", u"\n", u"\r", u".", u";", u"(", u")", u"{", u"}", u"[", u"]", u"=", u"+", u"-",
      u"*", u"/", u"//", u"/*", u"*/", u"/*/", u"\\", u"\\\"", u"\\\n", u"\"", u"'", u",",
      u":", u"!", u"|", u"&", u"?", u"~", u"^", u"<", u">", u"0", u"42"};
  std::u16string text;
  const std::size_t tokens = random() % 80;
  for (std::size_t k = 0; k < tokens; ++k) text += kTokens[random() % std::size(kTokens)];
  return text;
}

TEST(ScriptColorizer, MatchesTheTableAppliedOneCharacterAtATime) {
  std::mt19937 random(6502);
  for (int round = 0; round < 20'000; ++round) {
    const std::u16string text = RandomScript(random);
    ASSERT_EQ(Script(text), CReferenceScript(text).Body()) << "round " << round;
  }
}

}  // namespace
}  // namespace tracewell
