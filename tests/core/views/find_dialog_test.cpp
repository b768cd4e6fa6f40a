#include "views/find_dialog_model.h"

#include <gtest/gtest.h>

#include "support/fake_clock.h"
#include "support/ordinal_collator.h"

namespace tracewell {
namespace {

struct Session {
  testing::OrdinalCollator collator;
  testing::FakeClock clock;
  CMainWindowModel window{collator, clock};
  CFindHistory history;

  explicit Session(std::initializer_list<const char16_t*> urls) {
    for (const char16_t* url : urls) {
      auto record = std::make_unique<CHttpTransaction>();
      record->m_strUrl = url;
      window.OnTransactionStarted(std::move(record));
    }
  }
  std::vector<bool> Selection() const {
    std::vector<bool> selected;
    for (std::size_t row = 0; row < window.Grid().RowCount(); ++row) {
      selected.push_back(window.Grid().IsSelected(row));
    }
    return selected;
  }
  std::u16string ShownQuery() const {
    const auto& rows = window.Details().query.Rows();
    return rows.empty() ? u"" : rows[0][1];
  }
};

TEST(FindDialog, FindNextWalksTheMatchingRowsAndSaysWhenItWraps) {
  Session s{u"http://h/?q=apple", u"http://h/?q=pear", u"http://h/?q=Apple+pie"};
  CFindDialogModel dialog(s.window, s.history, nullptr);
  EXPECT_FALSE(dialog.CanFindNext());
  dialog.Query().text = u"apple";
  EXPECT_FALSE(dialog.CanFindNext());  // no scope yet
  dialog.SelectAllScopes();
  dialog.SelectNoScopes();
  EXPECT_FALSE(dialog.CanFindNext());
  dialog.Query().SetScope(FindScope::kQueryString);
  ASSERT_TRUE(dialog.CanFindNext());

  EXPECT_EQ(dialog.FindNext(), std::nullopt);
  EXPECT_EQ(s.Selection(), (std::vector<bool>{true, false, false}));
  EXPECT_EQ(s.ShownQuery(), u"apple");
  s.window.Grid().SetSelected(1, true);  // the search goes on from the last selected row
  EXPECT_EQ(dialog.FindNext(), std::nullopt);
  EXPECT_EQ(s.Selection(), (std::vector<bool>{false, false, true}));
  EXPECT_EQ(s.ShownQuery(), u"Apple+pie");
  EXPECT_EQ(dialog.FindNext(), kMsgFindWrappedToTop);
  EXPECT_EQ(s.Selection(), (std::vector<bool>{true, false, false}));

  dialog.CheckDown(true);
  dialog.CheckUp(true);  // clears "Down"
  EXPECT_FALSE(dialog.IsDownChecked());
  EXPECT_EQ(dialog.FindNext(), kMsgFindWrappedToEnd);
  EXPECT_EQ(s.Selection(), (std::vector<bool>{false, false, true}));
  dialog.CheckDown(true);  // clears "Up": down again
  EXPECT_FALSE(dialog.IsUpChecked());
  EXPECT_EQ(dialog.FindNext(), kMsgFindWrappedToTop);
  dialog.CheckUp(true);
  dialog.CheckUp(false);  // neither: down
  EXPECT_EQ(dialog.FindNext(), std::nullopt);
  EXPECT_EQ(s.Selection(), (std::vector<bool>{false, false, true}));

  dialog.Query().matchCase = true;
  dialog.Query().text = u"plum";
  EXPECT_EQ(dialog.FindNext(), kMsgFindNotFound);
  EXPECT_EQ(s.Selection(), (std::vector<bool>{false, false, true}));  // unchanged
}

TEST(FindDialog, HistoryKeepsRecentTextsOnceSortedAndBounded) {
  Session s{u"http://h/"};
  CFindDialogModel dialog(s.window, s.history, nullptr);
  dialog.Query().SetScope(FindScope::kUrls);
  for (const char16_t* text : {u"pear", u"apple", u"pear"}) {
    dialog.Query().text = text;
    dialog.FindNext();
  }
  // A dialog opened later starts empty but offers the texts searched before.
  CFindDialogModel reopened(s.window, s.history, nullptr);
  EXPECT_EQ(reopened.Query().text, u"");
  EXPECT_EQ(reopened.RecentTexts(), (std::vector<std::u16string>{u"apple", u"pear"}));
  for (int i = 0; i < 25; ++i) s.history.Remember(u"t" + std::u16string(1, static_cast<char16_t>(u'a' + i)));
  const auto texts = s.history.SortedTexts();
  ASSERT_EQ(texts.size(), CFindHistory::kCapacity);
  EXPECT_EQ(texts.front(), u"tf");  // the oldest went first
}

}  // namespace
}  // namespace tracewell
