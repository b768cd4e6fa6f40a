// The command keys as the browser hands the band its keys (TranslateAcceleratorIO):
// F5 and Shift+F5 switch recording from any control of the window, Ctrl+L clears,
// Ctrl+F, Ctrl+S and Ctrl+O bring up the Find, Save and Open dialogs (dismissed here
// with Cancel, which changes nothing); a key that is no command key still reaches its
// control (Ctrl+A selects the grid's rows); the keys of the browser's own windows are
// left to the browser.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dialog_answer.h"
#include "dialog_driver.h"
#include "loaded_session.h"

namespace tracewell::win::test {
namespace {

class CommandKeysTest : public LoadedSessionTest {
 protected:
  // The page inspector's tree, in the detail pane's "Content" tab.
  HWND InspectorTree() {
    const HWND pane = FindWindowExW(BandWindow(), nullptr, L"TracewellDetailPane", nullptr);
    return GetDlgItem(FindWindowExW(pane, nullptr, L"TracewellContentView", nullptr), 259);
  }
};

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

// Find comes up over the window whichever of its controls has the keyboard.
TEST_F(CommandKeysTest, CtrlFBringsUpFind) {
  LoadSession({{u"http://127.0.0.1/a", u"200", 10, u"text/html"}});
  for (const HWND control : {m_grid, InspectorTree()}) {
    ASSERT_NE(nullptr, control);
    std::vector<std::wstring> texts;
    CDialogDriver driver(L"Tracewell- Find", [&](HWND dialog) {
      texts = ControlTexts(dialog);
      ClickButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(S_OK, TranslateKey(control, 'F', {VK_CONTROL}));
    ASSERT_TRUE(driver.Wait());
    EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(), L"Find Next"));
  }
}

// Save as the file dialog's Cancel leaves it: no file; Load's Cancel keeps the session.
TEST_F(CommandKeysTest, CtrlSAndCtrlOBringUpTheFileDialogs) {
  LoadSession({{u"http://127.0.0.1/a", u"200", 10, u"text/html"}, {u"http://127.0.0.1/b", u"404", 0, u""}});
  const std::wstring file = NewTemporaryFile(L".elf");
  DeleteFileW(file.c_str());
  {
    CDialogAnswer save(L"Save As", IDCANCEL, file.substr(0, file.size() - 4));
    EXPECT_EQ(S_OK, TranslateKey(m_grid, 'S', {VK_CONTROL}));
    EXPECT_FALSE(save.Texts().empty());
  }
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(file.c_str()));
  {
    CDialogAnswer load(L"Open", IDCANCEL);
    EXPECT_EQ(S_OK, TranslateKey(InspectorTree(), 'O', {VK_CONTROL}));
    EXPECT_FALSE(load.Texts().empty());
  }
  EXPECT_EQ(2u, Rows().size());
  // The same dialog with OK writes the session where the key's Save was told to.
  {
    CDialogAnswer save(L"Save As", IDOK, file.substr(0, file.size() - 4));
    EXPECT_EQ(S_OK, TranslateKey(m_grid, 'S', {VK_CONTROL}));
    save.Texts();
  }
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(file.c_str()));
  DeleteFileW(file.c_str());
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
