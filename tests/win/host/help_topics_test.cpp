// Help Topics as the user reaches it, by its command or F1: the manual that ships
// beside the library opens through the shell's default action, shown normally. The library's
// ShellExecuteW is taken over for the test, so nothing is really opened.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture_fixture.h"
#include "import_patch.h"
#include "views/main_commands.h"

namespace tracewell::win::test {
namespace {

struct ShellOpen {
  HWND owner;
  bool defaultVerb;
  std::wstring file;
  bool noParameters;
  int show;
};

std::vector<ShellOpen> g_opens;

HINSTANCE WINAPI RecordShellOpen(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR, INT show) {
  g_opens.push_back({owner, verb == nullptr, file != nullptr ? file : L"", parameters == nullptr, show});
  return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));  // above 32: opened
}

std::wstring LibraryFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(CTracewellLibrary::Get().Module(), path, MAX_PATH);
  const std::wstring library(path);
  return library.substr(0, library.find_last_of(L'\\') + 1);
}

class HelpTopicsTest : public SitedBandTest {
 protected:
  void SetUp() override {
    SitedBandTest::SetUp();
    g_opens.clear();
    m_patch.emplace(CTracewellLibrary::Get().Module(), "shell32.dll", "ShellExecuteW",
                    reinterpret_cast<void*>(&RecordShellOpen));
    ASSERT_TRUE(m_patch->Active()) << "tracewell.dll does not import ShellExecuteW";
  }
  void TearDown() override {
    m_patch.reset();
    SitedBandTest::TearDown();
  }

  std::optional<CImportPatch> m_patch;
};

TEST_F(HelpTopicsTest, OpensTheManualBesideTheLibraryWithTheDefaultAction) {
  Command(command::kHelpTopics);
  ASSERT_EQ(1u, g_opens.size());
  const ShellOpen& open = g_opens.front();
  EXPECT_EQ(LibraryFolder() + L"Tracewell.html", open.file);
  EXPECT_TRUE(open.defaultVerb);
  EXPECT_TRUE(open.noParameters);
  EXPECT_EQ(SW_SHOWNORMAL, open.show);
  EXPECT_TRUE(open.owner == BandWindow() || IsChild(BandWindow(), open.owner));

  // The build ships the manual there: the page the desktop window opens.
  const std::string manual = ReadText(open.file);
  EXPECT_EQ(0u, manual.find("<!DOCTYPE html>"));
  EXPECT_NE(std::string::npos, manual.find("<title>Tracewell 1.0"));
}

// F1 reaches the band as the browser hands it its keys, whichever control has it.
TEST_F(HelpTopicsTest, F1OpensItFromTheWindowsControlsButNotFromTheBrowsers) {
  const HWND grid = FindWindowExW(BandWindow(), nullptr, WC_LISTVIEWW, nullptr);
  EXPECT_EQ(S_OK, TranslateKey(grid, VK_F1));
  EXPECT_EQ(S_OK, TranslateKey(BandWindow(), VK_F1));
  ASSERT_EQ(2u, g_opens.size());
  EXPECT_EQ(LibraryFolder() + L"Tracewell.html", g_opens.back().file);
  EXPECT_EQ(S_FALSE, TranslateKey(m_bar.Handle(), VK_F1));
  EXPECT_EQ(2u, g_opens.size());
}

TEST_F(HelpTopicsTest, EachCommandOpensItOnceAndNoOtherCommandOpensIt) {
  Command(command::kHelpTopics);
  Command(command::kHelpTopics);
  EXPECT_EQ(2u, g_opens.size());
  g_opens.clear();
  for (const int id : {command::kMaximizeGrid, command::kRestoreWindows, command::kTurnOnFilter,
                       command::kTurnOffFilter, command::kClear}) {
    Command(static_cast<WORD>(id));
  }
  EXPECT_TRUE(g_opens.empty());
}

}  // namespace
}  // namespace tracewell::win::test
