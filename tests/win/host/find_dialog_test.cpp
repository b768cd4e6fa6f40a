// The Find dialog driven as a user drives it: its texts, Find Next offered only with
// a text and a scope, a hit selected in the grid and shown in the detail tabs while
// the dialog stays open, the message boxes for a search that went round the end and
// for a text found nowhere (texts and caption intercepted), and a reopened dialog
// empty but for the texts searched before.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "dialog_driver.h"
#include "find_dialog.h"
#include "loaded_session.h"
#include "views/detail_lists.h"
#include "views/main_commands.h"

namespace tracewell::win::test {
namespace {

namespace id = find_dialog_id;

constexpr int kUrlsScope = id::kFirstScope;
constexpr int kContentScope = id::kFirstScope + 6;

// The text typed into the combo box, as typing tells the dialog.
void TypeText(HWND dialog, const wchar_t* text) {
  const HWND combo = GetDlgItem(dialog, id::kText);
  SetWindowTextW(combo, text);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id::kText, CBN_EDITCHANGE), reinterpret_cast<LPARAM>(combo));
}

std::vector<std::wstring> ComboItems(HWND dialog) {
  const HWND combo = GetDlgItem(dialog, id::kText);
  std::vector<std::wstring> items;
  const auto count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
  for (int item = 0; item < count; ++item) {
    wchar_t text[256] = {};
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(text));
    items.emplace_back(text);
  }
  return items;
}

class FindDialogTest : public LoadedSessionTest {
 protected:
  void RunFindDialog(const std::function<void(HWND)>& steps) {
    CDialogDriver driver(L"Tracewell- Find", steps);
    Command(static_cast<WORD>(command::kFind));
    ASSERT_TRUE(driver.Wait()) << "no find dialog";
  }

  std::vector<bool> SelectedRows() const {
    std::vector<bool> selected;
    const auto count = static_cast<int>(SendMessageW(m_grid, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
      selected.push_back(SendMessageW(m_grid, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) != 0);
    }
    return selected;
  }
};

TEST_F(FindDialogTest, FindNextSelectsAndShowsTheHitAndSaysWhenItWentRound) {
  LoadSession({{u"http://127.0.0.1/a?x=1", u"200", 1, u"text/css"},
               {u"http://127.0.0.1/b?needle=1", u"200", 2, u"text/html"},
               {u"http://127.0.0.1/c", u"404", 3, u"text/html"}});
  std::vector<std::wstring> texts;
  std::vector<bool> findNextOffered, selectedAfterHit;
  bool contentEnabled = true;
  MessageBoxSeen wrapped, notFound;
  RunFindDialog([&](HWND dialog) {
    texts = ControlTexts(dialog);
    contentEnabled = IsControlEnabled(dialog, kContentScope);
    findNextOffered.push_back(IsControlEnabled(dialog, id::kFindNext));
    TypeText(dialog, L"NEEDLE");
    findNextOffered.push_back(IsControlEnabled(dialog, id::kFindNext));
    ClickButton(dialog, kUrlsScope);
    findNextOffered.push_back(IsControlEnabled(dialog, id::kFindNext));

    PostClick(dialog, id::kFindNext);
    WaitUntil([&] { return SelectedRows() == std::vector<bool>{false, true, false}; });
    selectedAfterHit = SelectedRows();
    // The only hit again: the search went round the end to find it.
    PostClick(dialog, id::kFindNext);
    wrapped = AnswerMessageBox(dialog);
    TypeText(dialog, L"absent");
    PostClick(dialog, id::kFindNext);
    notFound = AnswerMessageBox(dialog);
    ClickButton(dialog, IDCANCEL);
  });
  EXPECT_EQ((std::vector<std::wstring>{L"Text to find:", L"", L"Options", L"Match case", L"Whole word", L"Direction",
                                       L"Up", L"Down", L"Scope", L"URLs", L"Headers", L"Query String", L"Cookies",
                                       L"Post Data", L"Result/Status Code", L"Content", L"Find Next", L"Cancel",
                                       L"Select All", L"Select None"}),
            texts);
  EXPECT_FALSE(contentEnabled);
  EXPECT_EQ((std::vector<bool>{false, false, true}), findNextOffered);
  EXPECT_EQ((std::vector<bool>{false, true, false}), selectedAfterHit);
  EXPECT_EQ(L"Tracewell- Find", wrapped.caption);
  EXPECT_EQ(L"Find reached the end of the session grid and continued from the top.", wrapped.text);
  EXPECT_EQ(L"Tracewell- Find", notFound.caption);
  EXPECT_EQ(L"The text was not found in the session grid.", notFound.text);
  // The hit is the record the detail tabs show.
  const HWND pane = FindWindowExW(BandWindow(), nullptr, L"TracewellDetailPane", nullptr);
  ASSERT_NE(nullptr, pane);
  EXPECT_EQ(L"needle", CellText(GetDlgItem(pane, kQueryList.id), 0, 0));

  // Reopened: no text, no box checked, the texts searched before in the list.
  std::vector<std::wstring> recent;
  std::wstring text = L"(not read)";
  bool anyChecked = true;
  RunFindDialog([&](HWND dialog) {
    recent = ComboItems(dialog);
    wchar_t typed[64] = {};
    GetDlgItemTextW(dialog, id::kText, typed, 64);
    text = typed;
    anyChecked = false;
    for (int box = id::kMatchCase; box < id::kFirstScope + 7; ++box) {
      anyChecked = anyChecked || IsButtonChecked(dialog, box);
    }
    ClickButton(dialog, IDCANCEL);
  });
  EXPECT_EQ((std::vector<std::wstring>{L"absent", L"NEEDLE"}), recent);
  EXPECT_EQ(L"", text);
  EXPECT_FALSE(anyChecked);
}

TEST_F(FindDialogTest, SelectAllChecksEveryScopeButContentAndSelectNoneClearsThem) {
  LoadSession({{u"http://127.0.0.1/a", u"200", 1, u"text/css"}});
  std::vector<bool> all, none;
  RunFindDialog([&](HWND dialog) {
    ClickButton(dialog, id::kSelectAll);
    for (int scope = 0; scope < 7; ++scope) all.push_back(IsButtonChecked(dialog, id::kFirstScope + scope));
    ClickButton(dialog, id::kSelectNone);
    for (int scope = 0; scope < 7; ++scope) none.push_back(IsButtonChecked(dialog, id::kFirstScope + scope));
    ClickButton(dialog, IDCANCEL);
  });
  EXPECT_EQ((std::vector<bool>{true, true, true, true, true, true, false}), all);
  EXPECT_EQ(std::vector<bool>(7, false), none);
}

}  // namespace
}  // namespace tracewell::win::test
