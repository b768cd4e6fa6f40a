#pragma once
// The window's file commands: Load (a log or HAR file replaces the session), Save
// and "Save..." (the log file), and the exports, each through its file dialog with
// its filter entry, default extension and overwrite prompt.

#include <filesystem>
#include <optional>

#include "record/clock.h"
#include "record/record_bodies.h"
#include "session_io/session_formats.h"
#include "text/message_box.h"
#include "views/main_window_model.h"

class QWidget;

namespace tracewell::app {

class CFileCommands {
 public:
  // `storedBodies`, when given, fills the bodies of a HAR file from the stores.
  CFileCommands(CMainWindowModel& model, const IClock& clock, IMessageBox& messages, QWidget* parent,
                IStoredBodies* storedBodies = nullptr)
      : m_model(model), m_clock(clock), m_messages(messages), m_parent(parent), m_storedBodies(storedBodies) {}

  // Runs Load, Save, "Save..." and the exports; false for every other command.
  bool OnCommand(int commandId);
  // Before the session is closed, replaced or cleared: records not yet saved are
  // offered for saving ("Save changes to the session?": Save, Discard, Cancel). False
  // when the user cancels, or the save did not happen.
  bool MaySetSessionAside();
  // Loads `path` in place of the session, as Load does once the file is chosen.
  void LoadFile(const std::filesystem::path& path);

 private:
  void Load();
  // True once the file is written whole.
  bool Write(SessionFormat format);
  std::optional<std::filesystem::path> ChooseFileToWrite(const SessionFormatInfo& info);
  std::optional<std::filesystem::path> ChooseFileToLoad();

  CMainWindowModel& m_model;
  const IClock& m_clock;
  IMessageBox& m_messages;
  QWidget* m_parent;
  IStoredBodies* m_storedBodies;
};

}  // namespace tracewell::app
