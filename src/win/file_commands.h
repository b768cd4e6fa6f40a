#pragma once
// The main window's file commands: Load (a log or HAR file replaces the session), and
// Save and "Save..." (the session list written to a log file), each through the
// system's file dialog. What goes wrong is said in a message box; a failed save
// leaves an existing file as it was, a refused load leaves the session.

#include <windows.h>

#include <filesystem>
#include <optional>

#include "record/clock.h"
#include "views/main_window_model.h"

namespace tracewell::win {

class CFileCommands {
 public:
  CFileCommands(CMainWindowModel& model, const IClock& clock) : m_model(model), m_clock(clock) {}

  // Runs Load, Save and "Save..." with message boxes over `window`; false for every
  // other command.
  bool OnCommand(int commandId, HWND window);

 private:
  void Load(HWND window);
  void Save(HWND window);

  CMainWindowModel& m_model;
  const IClock& m_clock;
};

// The file the user names in the system's dialog (owned by the active window): for
// saving a log file (overwrite prompt, ".elf" added when no extension is given), or
// for loading a log or HAR file that exists; none when the dialog is cancelled.
std::optional<std::filesystem::path> ChooseSessionFile(bool save);

}  // namespace tracewell::win
