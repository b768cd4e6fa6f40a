#include "file_commands.h"

#include <commdlg.h>

#include <string>

#include "session_io/log_file.h"
#include "text/utf8.h"
#include "views/main_commands.h"
#include "win_message_box.h"

namespace tracewell::win {
namespace {

constexpr wchar_t kLogFileFilter[] = L"Tracewell Log File(*.elf)\0*.elf\0";
constexpr std::u16string_view kWriteErrorText = u"File Write Error";
constexpr std::u16string_view kErrorCaption = u"Error";

}  // namespace

std::optional<std::filesystem::path> ChooseLogFileToWrite() {
  wchar_t file[MAX_PATH] = {};
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = GetActiveWindow();
  dialog.lpstrFilter = kLogFileFilter;
  dialog.lpstrFile = file;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrDefExt = L"elf";
  dialog.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY;
  if (!GetSaveFileNameW(&dialog)) return std::nullopt;
  return std::filesystem::path(file);
}

bool CFileCommands::OnCommand(int commandId, HWND window) {
  if (commandId != command::kSave && commandId != command::kSaveAs) return false;
  SaveLogFile(window);
  return true;
}

void CFileCommands::SaveLogFile(HWND window) {
  const auto path = ChooseLogFileToWrite();
  if (!path) return;
  if (const auto error = tracewell::SaveLogFile(*path, m_model.Session())) {
    const std::u16string text = std::u16string(kWriteErrorText) + u"\n" + FromUtf8(error->message);
    CWinMessageBox(window).ShowMessage({text, kErrorCaption});
    return;
  }
  m_model.MarkSaved();
}

}  // namespace tracewell::win
