// The toolbar as the mouse reaches it: its band in the rebar, its buttons' texts,
// kinds and separators, the Start/Stop pair's states, every drop-down menu's texts
// (the Filter menu greying the switch that would change nothing), and the View
// menu's modes showing and hiding the grid and the detail pane.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "loaded_session.h"
#include "menu_answer.h"
#include "views/main_commands.h"

namespace tracewell::win::test {
namespace {

struct ButtonSeen {
  std::wstring text;  // "|" for a separator
  BYTE kind;          // the button's style less BTNS_SHOWTEXT and BTNS_AUTOSIZE
  bool operator==(const ButtonSeen&) const = default;
};

constexpr BYTE kCheck = BTNS_CHECK;
constexpr BYTE kPlain = BTNS_BUTTON;
constexpr BYTE kSplit = BTNS_DROPDOWN;
constexpr BYTE kWhole = BTNS_WHOLEDROPDOWN;

std::ostream& operator<<(std::ostream& out, const ButtonSeen& button) {
  return out << std::string(button.text.begin(), button.text.end()) << "/" << int{button.kind};
}

class ToolbarTest : public LoadedSessionTest {
 protected:
  std::vector<ButtonSeen> Buttons() const {
    std::vector<ButtonSeen> buttons;
    const auto count = static_cast<int>(SendMessageW(Toolbar(), TB_BUTTONCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
      TBBUTTON button{};
      SendMessageW(Toolbar(), TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button));
      if (button.fsStyle & BTNS_SEP) {
        buttons.push_back({L"|", 0});
        continue;
      }
      wchar_t text[64] = {};
      SendMessageW(Toolbar(), TB_GETBUTTONTEXTW, static_cast<WPARAM>(button.idCommand), reinterpret_cast<LPARAM>(text));
      buttons.push_back({text, static_cast<BYTE>(button.fsStyle & ~(BTNS_SHOWTEXT | BTNS_AUTOSIZE))});
    }
    return buttons;
  }

  // A click on the button's arrow (the right end of a split button, anywhere on a
  // whole drop-down button), the menu's item at `position` chosen; the menu as seen.
  CMenuAnswer& OpenMenu(int buttonId, int position) {
    m_answer.emplace(position);
    RECT rect{};
    SendMessageW(Toolbar(), TB_GETRECT, static_cast<WPARAM>(buttonId), reinterpret_cast<LPARAM>(&rect));
    const LPARAM point = MAKELPARAM(rect.right - 3, (rect.top + rect.bottom) / 2);
    SendMessageW(Toolbar(), WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageW(Toolbar(), WM_LBUTTONUP, 0, point);
    return *m_answer;
  }

  bool PaneShown(const wchar_t* className) {
    return IsWindowVisible(FindWindowExW(BandWindow(), nullptr, className, nullptr)) != FALSE;
  }

  std::optional<CMenuAnswer> m_answer;
};

TEST_F(ToolbarTest, ButtonsInTheirBandWithTextsKindsAndTheRecordingPair) {
  const HWND rebar = GetParent(Toolbar());
  EXPECT_EQ(1, SendMessageW(rebar, RB_GETBANDCOUNT, 0, 0));
  EXPECT_EQ((std::vector<ButtonSeen>{{L"Start", kCheck},  {L"Stop", kCheck},   {L"|", 0},
                                     {L"Clear", kPlain},  {L"|", 0},          {L"Load", kPlain},
                                     {L"Save", kSplit},   {L"|", 0},          {L"View", kWhole},
                                     {L"Filter", kSplit}, {L"|", 0},          {L"Tools", kWhole},
                                     {L"|", 0},           {L"Help", kWhole}}),
            Buttons());
  EXPECT_EQ((std::pair{false, true}), std::pair(Checked(kCommandStart), Checked(kCommandStop)));
  Command(kCommandStart);
  EXPECT_EQ((std::pair{true, false}), std::pair(Checked(kCommandStart), Checked(kCommandStop)));
  Command(kCommandStop);
  EXPECT_EQ((std::pair{false, true}), std::pair(Checked(kCommandStart), Checked(kCommandStop)));
}

TEST_F(ToolbarTest, EveryDropDownMenuHasItsTexts) {
  const int cancel = -1;  // the menu closes without a choice
  EXPECT_EQ((std::vector<std::wstring>{L"Save...", L"-", L"Export to XML", L"Export to HAR", L"-",
                                       L"Export Grid to CSV", L"Export Grid to Text"}),
            OpenMenu(command::kSave, cancel).Texts());
  EXPECT_EQ((std::vector<std::wstring>{L"Maximize Session Grid", L"Maximize Session View", L"-", L"Restore Windows"}),
            OpenMenu(command::kView, cancel).Texts());
  EXPECT_EQ((std::vector<std::wstring>{L"Clear Cookies and Caches...", L"-", L"Clear All Cookies", L"Clear All Caches"}),
            OpenMenu(command::kTools, cancel).Texts());
  EXPECT_EQ((std::vector<std::wstring>{L"Help Topics", L"-", L"Check for Update", L"Technical Support", L"-", L"About"}),
            OpenMenu(command::kHelp, cancel).Texts());
}

// With filtering off only "Turn On Filter" is offered of the two, and choosing it
// turns filtering on (no condition chosen: no rows); then only "Turn Off Filter".
TEST_F(ToolbarTest, FilterMenuOffersTheSwitchThatChangesTheState) {
  LoadSession({{u"http://127.0.0.1/a", u"200", 1, u"text/html"}});
  CMenuAnswer& off = OpenMenu(command::kFilter, 3);
  EXPECT_EQ((std::vector<std::wstring>{L"Filter", L"Find...", L"-", L"Turn On Filter", L"Turn Off Filter"}), off.Texts());
  EXPECT_EQ((std::vector<bool>{true, true, false, true, false}), off.Enabled());
  EXPECT_TRUE(Rows().empty());
  CMenuAnswer& on = OpenMenu(command::kFilter, 4);
  EXPECT_EQ((std::vector<bool>{true, true, false, false, true}), on.Enabled());
  EXPECT_EQ(1u, Rows().size());
}

TEST_F(ToolbarTest, ViewMenuShowsTheGridTheDetailPaneOrBoth) {
  EXPECT_TRUE(PaneShown(WC_LISTVIEWW) && PaneShown(L"TracewellDetailPane"));
  OpenMenu(command::kView, 0).Texts();
  EXPECT_TRUE(PaneShown(WC_LISTVIEWW));
  EXPECT_FALSE(PaneShown(L"TracewellDetailPane"));
  OpenMenu(command::kView, 1).Texts();
  EXPECT_FALSE(PaneShown(WC_LISTVIEWW));
  EXPECT_TRUE(PaneShown(L"TracewellDetailPane"));
  OpenMenu(command::kView, 3).Texts();
  EXPECT_TRUE(PaneShown(WC_LISTVIEWW) && PaneShown(L"TracewellDetailPane"));
}

}  // namespace
}  // namespace tracewell::win::test
