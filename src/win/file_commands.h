#pragma once
// The main window's file commands: Load (a log or HAR file replaces the session),
// Save and "Save..." (the session list written to a log file), and the exports (XML,
// CSV, text, HAR), each through the system's file dialog with its format's filter
// entry. What goes wrong is said in a message box; a failed save or export leaves an
// existing file as it was, a refused load leaves the session.

#include <windows.h>

#include <filesystem>
#include <optional>

#include "record/clock.h"
#include "session_io/session_formats.h"
#include "views/main_window_model.h"

namespace tracewell::win {

class CFileCommands {
 public:
  CFileCommands(CMainWindowModel& model, const IClock& clock) : m_model(model), m_clock(clock) {}

  // Runs Load, Save, "Save..." and the exports with message boxes over `window`;
  // false for every other command.
  bool OnCommand(int commandId, HWND window);

 private:
  void Load(HWND window);
  void Write(const SessionFormatInfo& format, HWND window);

  CMainWindowModel& m_model;
  const IClock& m_clock;
};

// The file the user names in the system's dialog (owned by the active window), none
// when the dialog is cancelled: to write `format` (its one filter entry, an overwrite
// prompt, its extension added when the name has none), or to load a log or HAR file
// that exists.
std::optional<std::filesystem::path> ChooseFileToWrite(const SessionFormatInfo& format);
std::optional<std::filesystem::path> ChooseFileToLoad();

}  // namespace tracewell::win
