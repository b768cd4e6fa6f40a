#include "views/find.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "support/ordinal_collator.h"

namespace tracewell {
namespace {

FindQuery Query(std::u16string text, std::initializer_list<FindScope> scopes = {FindScope::kUrls}) {
  FindQuery query;
  query.text = std::move(text);
  for (const FindScope scope : scopes) query.SetScope(scope);
  return query;
}

class FakeContent final : public IContentReader {
 public:
  std::optional<std::u16string> body;
  std::optional<std::u16string> ReadContent(const CHttpTransaction&) const override { return body; }
};

TEST(FindText, FoldsCaseOfLatinGreekAndCyrillicLetters) {
  const std::u16string_view letters = u"QÄÞ×ßĀāĲĹňŊŶŸŽžİıĸŉſΣς\u03A2ΩЁЀЯА";
  const std::u16string_view folded = u"qäþ×ßāāĳĺňŋŷÿžžİıĸŉsσσ\u03A2ωёѐяа";
  for (std::size_t i = 0; i < letters.size(); ++i) EXPECT_EQ(FoldCase(letters[i]), folded[i]) << i;

  EXPECT_TRUE(TextContains(u"xÄBCx", Query(u"äbc")));
  EXPECT_TRUE(TextContains(u"ПРИВЕТ, Ёж", Query(u"привет, ёЖ")));
  FindQuery exact = Query(u"äbc");
  exact.matchCase = true;
  EXPECT_FALSE(TextContains(u"xÄBCx", exact));
  EXPECT_TRUE(TextContains(u"xäbcx", exact));
  EXPECT_FALSE(TextContains(u"anything", Query(u"")));
}

TEST(FindText, WholeWordNeedsNonWordNeighbours) {
  FindQuery word = Query(u"foo");
  word.wholeWord = true;
  for (const std::u16string_view text : {u"foo", u"(FOO)", u"foobar foo", u"×foo÷", u"a-foo.b"})
    EXPECT_TRUE(TextContains(text, word)) << std::string(text.begin(), text.end());
  for (const std::u16string_view text : {u"foobar", u"_foo", u"foo2", u"éfoo", u"fooЖ"})
    EXPECT_FALSE(TextContains(text, word)) << std::string(text.begin(), text.end());
}

TEST(FindRecord, EachScopeSearchesOnlyItsTexts) {
  CHttpTransaction record;
  record.m_strUrl = u"http://host/path?qtoken=1";
  record.m_strRedirectUrl = u"http://redirtoken/";
  record.m_strRequestHeaders = u"GET / HTTP/1.1\r\nCookie: s=sent\r\nX-A: reqhdr\r\n";
  record.m_strResponseHeaders = u"HTTP/1.1 404 No\r\nSet-Cookie: id=set; path=/pp\r\nX-B: resp\r\n";
  record.m_strMethod = u"PUT";
  record.m_strPostData = u"posted";
  record.m_strResult = u"404";
  FakeContent content;
  content.body = u"bodytext";

  using enum FindScope;
  const std::pair<std::u16string, std::vector<FindScope>> cases[] = {
      {u"host", {kUrls}},      {u"redirtoken", {kUrls}}, {u"qtoken=1", {kUrls, kQueryString}},
      {u"reqhdr", {kHeaders}}, {u"resp", {kHeaders}},    {u"sent", {kHeaders, kCookies}},
      {u"/pp", {kHeaders, kCookies}}, {u"posted", {kPostData}}, {u"404", {kHeaders, kResult}},
      {u"bodytext", {kContent}}, {u"=1http", {}},        {u"Cookie", {kHeaders}}};
  for (const auto& [text, finders] : cases) {
    for (std::size_t s = 0; s < kFindScopeCount; ++s) {
      const bool expected = std::ranges::find(finders, static_cast<FindScope>(s)) != finders.end();
      EXPECT_EQ(RecordMatches(record, Query(text, {static_cast<FindScope>(s)}), &content), expected)
          << std::string(text.begin(), text.end()) << " in scope " << s;
    }
  }
  EXPECT_FALSE(RecordMatches(record, Query(u"bodytext", {kContent}), nullptr));
  content.body.reset();
  EXPECT_FALSE(RecordMatches(record, Query(u"bodytext", {kContent}), &content));
}

TEST(FindNext, StepsInTheQueryDirectionAndWrapsOnce) {
  testing::OrdinalCollator collator;
  CSessionGridModel grid{collator};
  TransactionArray session;
  for (const char16_t* path : {u"a0", u"match1", u"b2", u"match3"}) {
    session.push_back(std::make_unique<CHttpTransaction>());
    session.back()->m_strUrl = std::u16string(u"http://h/") + path;
    grid.AddTransactionRow(*session.back());
  }
  FindQuery down = Query(u"MATCH");
  FindQuery up = down;
  up.up = true;
  EXPECT_EQ(FindNextRow(grid, std::nullopt, down, nullptr), (FindHit{1, false}));
  EXPECT_EQ(FindNextRow(grid, std::nullopt, up, nullptr), (FindHit{3, false}));
  EXPECT_EQ(FindNextRow(grid, 9, down, nullptr), (FindHit{1, false}));  // a stale row: as none
  EXPECT_EQ(FindNextRow(grid, 1, down, nullptr), (FindHit{3, false}));
  EXPECT_EQ(FindNextRow(grid, 3, down, nullptr), (FindHit{1, true}));
  EXPECT_EQ(FindNextRow(grid, 2, up, nullptr), (FindHit{1, false}));
  EXPECT_EQ(FindNextRow(grid, 1, up, nullptr), (FindHit{3, true}));

  // The current row is tried last, after going all the way round.
  EXPECT_EQ(FindNextRow(grid, 2, Query(u"b2"), nullptr), (FindHit{2, true}));
  up.text = u"b2";
  EXPECT_EQ(FindNextRow(grid, 2, up, nullptr), (FindHit{2, true}));

  EXPECT_EQ(FindNextRow(grid, 0, Query(u"absent"), nullptr), std::nullopt);
  EXPECT_EQ(FindNextRow(grid, 0, Query(u""), nullptr), std::nullopt);
  EXPECT_EQ(FindNextRow(grid, 0, Query(u"match", {}), nullptr), std::nullopt);
}

}  // namespace
}  // namespace tracewell
