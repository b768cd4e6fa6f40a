#include "views/main_commands.h"

#include <algorithm>

namespace tracewell {
namespace {

using namespace command;

constexpr MenuItem kSaveMenu[] = {{kSaveAs, u"Save..."},
                                  {kSeparator, {}},
                                  {kExportXml, u"Export to XML"},
                                  {kExportHar, u"Export to HAR"},
                                  {kSeparator, {}},
                                  {kExportGridCsv, u"Export Grid to CSV"},
                                  {kExportGridText, u"Export Grid to Text"}};
constexpr MenuItem kViewMenu[] = {{kMaximizeGrid, u"Maximize Session Grid"},
                                  {kMaximizeView, u"Maximize Session View"},
                                  {kSeparator, {}},
                                  {kRestoreWindows, u"Restore Windows"}};
constexpr MenuItem kFilterMenu[] = {{kFilter, u"Filter"},
                                    {kFind, u"Find..."},
                                    {kSeparator, {}},
                                    {kTurnOnFilter, u"Turn On Filter"},
                                    {kTurnOffFilter, u"Turn Off Filter"}};
constexpr MenuItem kToolsMenu[] = {{kCookieCacheManager, u"Clear Cookies and Caches..."},
                                   {kSeparator, {}},
                                   {kClearAllCookies, u"Clear All Cookies"},
                                   {kClearAllCaches, u"Clear All Caches"},
                                   {kSeparator, {}},
                                   {kExportCaCertificate, u"Export CA Certificate..."},
                                   {kSeparator, {}},
                                   {kBrowser, u"Open Browser"}};
constexpr MenuItem kHelpMenu[] = {{kHelpTopics, u"Help Topics"},
                                  {kSeparator, {}},
                                  {kCheckForUpdate, u"Check for Update"},
                                  {kTechnicalSupport, u"Technical Support"},
                                  {kSeparator, {}},
                                  {kAbout, u"About"}};

constexpr int kBandCommands[] = {kStart, kStop, kAbout, kCheckForUpdate, kTechnicalSupport};
constexpr int kMainWindowCommands[] = {
    kClear,           kLoad,           kSave,          kSaveAs,         kExportXml,
    kExportHar,       kExportGridCsv,  kExportGridText, kFilter,        kTurnOnFilter,
    kTurnOffFilter,   kFind,           kMaximizeGrid,  kMaximizeView,   kRestoreWindows,
    kCookieCacheManager, kClearAllCookies, kClearAllCaches, kExportCaCertificate, kBrowser,
    kHelpTopics};

}  // namespace

const std::array<ToolbarButton, 10> kToolbarButtons = {{
    {kStart, u"Start", ButtonKind::kCheck, 0, false},
    {kStop, u"Stop", ButtonKind::kCheck, 0, false},
    {kBrowser, u"Browser", ButtonKind::kPlain, 0, true},
    {kClear, u"Clear", ButtonKind::kPlain, 0, true},
    {kLoad, u"Load", ButtonKind::kPlain, 0, true},
    {kSave, u"Save", ButtonKind::kSplit, 215, false},
    {kView, u"View", ButtonKind::kWholeDropDown, 212, true},
    {kFilter, u"Filter", ButtonKind::kSplit, 205, false},
    {kTools, u"Tools", ButtonKind::kWholeDropDown, 216, true},
    {kHelp, u"Help", ButtonKind::kWholeDropDown, 213, true},
}};

const std::array<DropDownMenu, 5> kDropDownMenus = {{
    {215, u"Save", kSaveMenu},
    {212, u"View", kViewMenu},
    {205, u"Filter", kFilterMenu},
    {216, u"Tools", kToolsMenu},
    {213, u"Help", kHelpMenu},
}};

const std::array<CommandKey, 7> kCommandKeys = {{
    {kStart, u"F5"},
    {kStop, u"Shift+F5"},
    {kSave, u"Ctrl+S"},
    {kLoad, u"Ctrl+O"},
    {kClear, u"Ctrl+L"},
    {kHelpTopics, u"F1"},
    {kFind, u"Ctrl+F"},
}};

const DropDownMenu* FindMenu(int menuId) {
  const auto it = std::ranges::find(kDropDownMenus, menuId, &DropDownMenu::id);
  return it == kDropDownMenus.end() ? nullptr : &*it;
}

CommandOwner OwnerOf(int commandId) {
  if (std::ranges::find(kBandCommands, commandId) != std::end(kBandCommands)) {
    return CommandOwner::kBand;
  }
  if (std::ranges::find(kMainWindowCommands, commandId) != std::end(kMainWindowCommands)) {
    return CommandOwner::kMainWindow;
  }
  return CommandOwner::kTabHost;
}

bool IsMenuItemEnabled(int commandId, bool filterOn) {
  if (commandId == kTurnOnFilter) return !filterOn;
  if (commandId == kTurnOffFilter) return filterOn;
  return true;
}

}  // namespace tracewell
