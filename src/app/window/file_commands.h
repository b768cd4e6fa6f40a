#pragma once
// The window's file commands: Load (a log or HAR file replaces the session), Save
// and "Save..." (the log file), and the exports, each through its file dialog with
// its filter entry, default extension and overwrite prompt. Long work shows its
// progress with Cancel: a canceled load keeps the session, a canceled save or export
// keeps the old file.

#include <chrono>
#include <filesystem>
#include <optional>

#include "http_text/record_bodies.h"
#include "record/clock.h"
#include "session_io/session_formats.h"
#include "text/message_box.h"
#include "views/main_window_model.h"
#include "widgets/work_progress_dialog.h"

class QString;
class QWidget;

namespace tracewell::app {

class CLiveCapture;

struct FileCommandSetup {
  // Fills the bodies of a HAR file from the stores.
  IStoredBodies* storedBodies = nullptr;
  // Its deliveries wait while a file is read or written.
  CLiveCapture* capture = nullptr;
  // How long work runs before its progress appears.
  std::chrono::milliseconds progressDelay = CWorkProgressDialog::kDelay;
};

class CFileCommands {
 public:
  CFileCommands(CMainWindowModel& model, const IClock& clock, IMessageBox& messages, QWidget* parent,
                FileCommandSetup setup = {})
      : m_model(model), m_clock(clock), m_messages(messages), m_parent(parent), m_setup(setup) {}

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
  // Runs `work` with a progress dialog labelled `verb` and the file's name, the
  // capture's deliveries held.
  template <typename Work>
  auto WithProgress(const QString& verb, const std::filesystem::path& path, Work&& work);

  CMainWindowModel& m_model;
  const IClock& m_clock;
  IMessageBox& m_messages;
  QWidget* m_parent;
  FileCommandSetup m_setup;
};

}  // namespace tracewell::app
