#pragma once
// The main window's Save and "Save...": the session list written to a log file that
// the user chooses in the system's save dialog. A file that cannot be written is
// reported in a message box; the old file, if any, stays as it was.

#include <windows.h>

#include <filesystem>
#include <optional>

#include "views/main_window.h"

namespace tracewell::win {

class CFileCommands {
 public:
  explicit CFileCommands(CMainWindowModel& model) : m_model(model) {}

  // Runs Save and "Save..." with message boxes over `window`; false for every other
  // command.
  bool OnCommand(int commandId, HWND window);

 private:
  void SaveLogFile(HWND window);

  CMainWindowModel& m_model;
};

// The file the user names in the save dialog for log files (owned by the active
// window, overwrite prompt, ".elf" added when no extension is given); none when the
// dialog is cancelled.
std::optional<std::filesystem::path> ChooseLogFileToWrite();

}  // namespace tracewell::win
