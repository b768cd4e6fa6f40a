#pragma once
// The main window's commands: identifiers, the toolbar, the five drop-down menus, the
// keys, which part of the window handles each command, and the Filter menu's enabling.

#include <array>
#include <span>
#include <string_view>

namespace tracewell {

namespace command {
inline constexpr int kStart = 32768;
inline constexpr int kStop = 32769;
inline constexpr int kClear = 32772;
inline constexpr int kLoad = 32773;
inline constexpr int kSave = 32774;
inline constexpr int kView = 32775;
inline constexpr int kFilter = 32776;
inline constexpr int kTools = 32777;
inline constexpr int kHelp = 32779;
inline constexpr int kSaveAs = 32781;
inline constexpr int kFind = 32783;
inline constexpr int kAbout = 32784;
inline constexpr int kHelpTopics = 32787;
inline constexpr int kCheckForUpdate = 32788;
inline constexpr int kTechnicalSupport = 32789;
inline constexpr int kClearAllCookies = 32790;
inline constexpr int kClearAllCaches = 32791;
inline constexpr int kCookieCacheManager = 32792;
inline constexpr int kTurnOffFilter = 32793;
inline constexpr int kCopyCell = 32795;
inline constexpr int kCopySelectedRows = 32796;
inline constexpr int kCopyAllRows = 32797;
inline constexpr int kInvertSelection = 32801;
inline constexpr int kTurnOnFilter = 32802;
inline constexpr int kExportGridCsv = 32803;
inline constexpr int kExportGridText = 32804;
inline constexpr int kExportXml = 32805;
// HAR 1.2, so that sessions travel to and from other HTTP tools.
inline constexpr int kExportHar = 32830;
// The certificate of the authority that HTTPS interception issues its certificates
// from, for a browser or the system to trust.
inline constexpr int kExportCaCertificate = 32831;
// A Chromium that the program starts and records from inside: cache hits included,
// and its page in the "Content" tab.
inline constexpr int kBrowser = 32832;
inline constexpr int kMaximizeGrid = 32806;
inline constexpr int kMaximizeView = 32807;
inline constexpr int kRestoreWindows = 32826;
inline constexpr int kCopyCurrentColumn = 32898;
inline constexpr int kSelectAllRows = 32899;
}  // namespace command

inline constexpr int kSeparator = 0;

struct MenuItem {
  int id;  // kSeparator for a separator line
  std::u16string_view text;
};

struct DropDownMenu {
  int id;
  std::u16string_view name;
  std::span<const MenuItem> items;
};

enum class ButtonKind {
  kCheck,         // keeps a checked state (Start, Stop)
  kPlain,
  kSplit,         // the button runs its command, its arrow opens the menu
  kWholeDropDown  // the button opens the menu
};

struct ToolbarButton {
  int id;
  std::u16string_view text;
  ButtonKind kind;
  int menuId;           // 0 when the button has no menu
  bool separatorBefore;
};

extern const std::array<ToolbarButton, 10> kToolbarButtons;
extern const std::array<DropDownMenu, 5> kDropDownMenus;

// A key that runs a command anywhere in the window, as the command's button or menu
// item would; `keys` is written as "Ctrl+Shift+F5" (modifiers, then the key).
struct CommandKey {
  int id;
  std::u16string_view keys;
};
extern const std::array<CommandKey, 7> kCommandKeys;

// The menu a drop-down button opens, or nothing.
const DropDownMenu* FindMenu(int menuId);

// The band (recording, about, update, support) sees every command first, then the
// main window; whatever neither handles goes to the tab host.
enum class CommandOwner { kBand, kMainWindow, kTabHost };
CommandOwner OwnerOf(int commandId);

// Only the Filter menu greys an item: the one that would not change the state.
bool IsMenuItemEnabled(int commandId, bool filterOn);

}  // namespace tracewell
