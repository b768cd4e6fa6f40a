// The filter dialog driven as a user drives it, with clicks on its check boxes and
// the check boxes of its lists: its texts and lists, the enabling rules after each
// click, a disabled list that keeps no check, OK rebuilding the grid from the
// conditions chosen, Cancel keeping what the clicks wrote without a rebuild, the
// choices shown again when it reopens, and the two menu switches.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "dialog_driver.h"
#include "filter_dialog.h"
#include "loaded_session.h"
#include "views/main_commands.h"

namespace tracewell::win::test {
namespace {

namespace id = filter_dialog_id;

constexpr int kStatus200Row = 1;
constexpr int kStatus404Row = 11;
constexpr int kTypeCssRow = 1;
constexpr int kUrlColumn = 8;

// Whether each control that the rules enable takes input: "Status Code:", "Content
// Type:", the status-code list, the content-type list, "OR", "AND".
std::vector<bool> Enabled(HWND dialog) {
  std::vector<bool> enabled;
  for (const int control : {id::kStatusCode, id::kContentType, id::kStatusList, id::kTypeList, id::kOr, id::kAnd}) {
    enabled.push_back(IsControlEnabled(dialog, control));
  }
  return enabled;
}

std::vector<std::wstring> ListColumn(HWND list, int column) {
  std::vector<std::wstring> cells;
  const auto count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) cells.push_back(CellText(list, row, column));
  return cells;
}

std::vector<std::wstring> Wide(std::span<const std::u16string_view> texts) {
  std::vector<std::wstring> wide;
  for (const std::u16string_view text : texts) wide.emplace_back(text.begin(), text.end());
  return wide;
}

class FilterDialogTest : public LoadedSessionTest {
 protected:
  void SetUp() override {
    LoadedSessionTest::SetUp();
    LoadSession({{u"http://127.0.0.1/page", u"200", 100, u"text/html"},
                 {u"http://127.0.0.1/missing", u"404", 9, u"text/html"},
                 {u"http://127.0.0.1/style", u"200", 20, u"text/css"},
                 {u"http://127.0.0.1/picture", u"200", 300, u"image/png"}});
  }

  // Runs the dialog from the Filter command with `steps` driving it.
  void RunFilterDialog(const std::function<void(HWND)>& steps) {
    CDialogDriver driver(L"Tracewell - Filter", steps);
    Command(static_cast<WORD>(command::kFilter));
    ASSERT_TRUE(driver.Wait()) << "no filter dialog";
  }

  std::vector<std::wstring> Urls() const { return Column(kUrlColumn); }
};

TEST_F(FilterDialogTest, TextsListsAndEnablingRulesFollowTheClicks) {
  std::vector<std::wstring> texts, codes, descriptions, types;
  std::vector<int> widths;
  std::vector<std::vector<bool>> enabled;
  bool rowOfDisabledListChecked = true;
  RunFilterDialog([&](HWND dialog) {
    texts = ControlTexts(dialog);
    const HWND status = GetDlgItem(dialog, id::kStatusList);
    codes = ListColumn(status, 0);
    descriptions = ListColumn(status, 1);
    types = ListColumn(GetDlgItem(dialog, id::kTypeList), 0);
    for (int column = 0; column < 2; ++column) {
      widths.push_back(static_cast<int>(SendMessageW(status, LVM_GETCOLUMNWIDTH, column, 0)));
    }
    enabled.push_back(Enabled(dialog));
    CheckListRow(status, kStatus200Row, true);
    rowOfDisabledListChecked = IsListRowChecked(status, kStatus200Row);
    for (const int box : {id::kEnableFiltering, id::kStatusCode, id::kContentType}) {
      ClickButton(dialog, box);
      enabled.push_back(Enabled(dialog));
    }
    ClickButton(dialog, IDCANCEL);
  });
  EXPECT_EQ((std::vector<std::wstring>{L"Filter Options", L"Enable Filtering", L"Combine Filter Conditions:", L"OR",
                                       L"AND", L"Filter Conditions", L"Status Code:", L"", L"Content Type:", L"",
                                       L"OK", L"Cancel"}),
            texts);
  std::vector<std::wstring> expectedCodes, expectedDescriptions;
  for (const StatusCodeChoice& choice : kFilterStatusCodes) {
    expectedCodes.emplace_back(choice.code.begin(), choice.code.end());
    expectedDescriptions.emplace_back(choice.description.begin(), choice.description.end());
  }
  EXPECT_EQ(expectedCodes, codes);
  EXPECT_EQ(expectedDescriptions, descriptions);
  EXPECT_EQ((std::vector<int>{80, 850}), widths);
  EXPECT_EQ(Wide(kFilterContentTypes), types);
  EXPECT_FALSE(rowOfDisabledListChecked);
  EXPECT_EQ((std::vector<std::vector<bool>>{{false, false, false, false, false, false},
                                            {true, true, false, false, false, false},
                                            {true, true, true, false, false, false},
                                            {true, true, true, true, true, true}}),
            enabled);
  // Cancel: filtering went on with the click, but the grid is not rebuilt.
  EXPECT_EQ(4u, Rows().size());
}

TEST_F(FilterDialogTest, OkRebuildsTheGridAndTheChoicesShowAgain) {
  RunFilterDialog([](HWND dialog) {
    ClickButton(dialog, id::kEnableFiltering);
    ClickButton(dialog, id::kStatusCode);
    CheckListRow(GetDlgItem(dialog, id::kStatusList), kStatus404Row, true);
    ClickButton(dialog, IDOK);
  });
  EXPECT_EQ((std::vector<std::wstring>{L"http://127.0.0.1/missing"}), Urls());
  EXPECT_EQ(L"0", Rows()[0][0]);

  // Reopened: the same choices; a content type too, combined by OR, then by AND.
  std::vector<bool> shown;
  RunFilterDialog([&](HWND dialog) {
    for (const int box : {id::kEnableFiltering, id::kStatusCode, id::kContentType, id::kOr, id::kAnd}) {
      shown.push_back(IsButtonChecked(dialog, box));
    }
    shown.push_back(IsListRowChecked(GetDlgItem(dialog, id::kStatusList), kStatus404Row));
    ClickButton(dialog, id::kContentType);
    CheckListRow(GetDlgItem(dialog, id::kTypeList), kTypeCssRow, true);
    ClickButton(dialog, IDOK);
  });
  EXPECT_EQ((std::vector<bool>{true, true, false, true, false, true}), shown);
  EXPECT_EQ((std::vector<std::wstring>{L"http://127.0.0.1/missing", L"http://127.0.0.1/style"}), Urls());
  RunFilterDialog([](HWND dialog) {
    ClickButton(dialog, id::kAnd);
    ClickButton(dialog, IDOK);
  });
  EXPECT_TRUE(Rows().empty());

  Command(static_cast<WORD>(command::kTurnOffFilter));
  EXPECT_EQ(4u, Rows().size());
  Command(static_cast<WORD>(command::kTurnOnFilter));
  EXPECT_TRUE(Rows().empty());
}

}  // namespace
}  // namespace tracewell::win::test
