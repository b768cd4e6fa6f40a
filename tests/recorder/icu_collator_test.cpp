#include "icu_collator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace tracewell {
namespace {

TEST(IcuCollator, SortsWordsLikeTheDesktopCaseSensitiveNumbersAsText) {
  const CIcuCollator collator("en_US");
  std::vector<std::u16string> cells = {u"b", u"B", u"A", u"a", u"20", u"100", u"\u00e9t\u00e9", u"ete"};
  std::ranges::sort(cells, [&](const auto& x, const auto& y) { return collator.Compare(x, y) < 0; });
  EXPECT_EQ(cells, (std::vector<std::u16string>{u"100", u"20", u"a", u"A", u"b", u"B", u"ete",
                                                u"\u00e9t\u00e9"}));
  EXPECT_EQ(collator.Compare(u"same", u"same"), 0);
  EXPECT_NE(collator.Compare(u"text", u"Text"), 0);  // case matters
}

}  // namespace
}  // namespace tracewell
