#pragma once
// The system's open and save file dialogs as the library asks for them.

#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>

namespace tracewell::win {

struct FileDialogRequest {
  HWND owner = nullptr;
  bool save = false;
  // Pairs of entry text and pattern, each ending in NUL ("All Files (*.*)\0*.*\0").
  std::wstring filter;
  std::wstring proposedName;      // the file name box's text at first
  std::wstring defaultExtension;  // added to a name without one; empty: none
  // Saving: ask before replacing a file. Loading: the file must exist.
  bool checkExisting = true;
};

// The file the user names, none when the dialog is cancelled (or a proposed name
// does not fit the dialog's buffer).
std::optional<std::filesystem::path> RunFileDialog(const FileDialogRequest& request);

}  // namespace tracewell::win
