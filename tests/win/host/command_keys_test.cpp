// The command keys as the browser hands the band its keys (TranslateAcceleratorIO):
// F5 and Shift+F5 switch recording from any control of the window, Ctrl+L clears;
// a key that is no command key still reaches its control (Ctrl+A selects the grid's
// rows); the keys of the browser's own windows are left to the browser.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "loaded_session.h"

namespace tracewell::win::test {
namespace {

using CommandKeysTest = LoadedSessionTest;

TEST_F(CommandKeysTest, F5StartsAndShiftF5StopsFromAnyControl) {
  EXPECT_EQ(S_OK, TranslateKey(m_grid, VK_F5));
  EXPECT_EQ((std::pair{true, false}), std::pair(Checked(kCommandStart), Checked(kCommandStop)));
  EXPECT_EQ(S_OK, TranslateKey(Toolbar(), VK_F5, {VK_SHIFT}));
  EXPECT_EQ((std::pair{false, true}), std::pair(Checked(kCommandStart), Checked(kCommandStop)));
}

TEST_F(CommandKeysTest, CtrlLClearsButLAloneGoesToTheGrid) {
  LoadSession({{u"http://127.0.0.1/a", u"200", 10, u"text/html"}, {u"http://127.0.0.1/b", u"404", 0, u""}});
  EXPECT_EQ(S_OK, TranslateKey(m_grid, 'L'));
  EXPECT_EQ(2u, Rows().size());
  EXPECT_EQ(S_OK, TranslateKey(m_grid, 'L', {VK_CONTROL}));
  EXPECT_TRUE(Rows().empty());
}

TEST_F(CommandKeysTest, OtherKeysReachTheirControl) {
  LoadSession({{u"http://127.0.0.1/a", u"200", 10, u"text/html"}, {u"http://127.0.0.1/b", u"404", 0, u""}});
  EXPECT_EQ(S_OK, TranslateKey(m_grid, 'A', {VK_CONTROL}));
  EXPECT_EQ(2, SendMessageW(m_grid, LVM_GETSELECTEDCOUNT, 0, 0));
}

TEST_F(CommandKeysTest, TheBrowsersWindowsKeepTheirKeys) {
  LoadSession({{u"http://127.0.0.1/a", u"200", 10, u"text/html"}});
  EXPECT_EQ(S_FALSE, TranslateKey(m_bar.Handle(), VK_F5));
  EXPECT_EQ(S_FALSE, TranslateKey(m_bar.Handle(), 'L', {VK_CONTROL}));
  EXPECT_EQ((std::pair{false, true}), std::pair(Checked(kCommandStart), Checked(kCommandStop)));
  EXPECT_EQ(1u, Rows().size());
  // Only keyboard messages are the band's to take.
  MSG click{m_grid, WM_LBUTTONDOWN, MK_LBUTTON, 0, 0, {}};
  EXPECT_EQ(S_FALSE, BandAs<IInputObject>(IID_IInputObject)->TranslateAcceleratorIO(&click));
}

}  // namespace
}  // namespace tracewell::win::test
