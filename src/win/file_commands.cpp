#include "file_commands.h"

#include <commdlg.h>

#include <string>

#include "session_io/log_file.h"
#include "session_io/session_file.h"
#include "session_io/session_formats.h"
#include "text/utf8.h"
#include "views/main_commands.h"
#include "win_message_box.h"

namespace tracewell::win {
namespace {

constexpr std::u16string_view kWriteErrorText = u"File Write Error";
constexpr std::u16string_view kErrorCaption = u"Error";

// One entry of a file dialog's filter: its text, then its pattern ("*.elf").
std::wstring FilterEntry(SessionFormat format) {
  const SessionFormatInfo& info = InfoOf(format);
  std::wstring entry(info.filterText.begin(), info.filterText.end());
  entry += L'\0';
  entry += L"*.";
  entry.append(info.name.begin(), info.name.end());
  entry += L'\0';
  return entry;
}

}  // namespace

std::optional<std::filesystem::path> ChooseSessionFile(bool save) {
  std::wstring filter = FilterEntry(SessionFormat::kLog);
  if (!save) filter += FilterEntry(SessionFormat::kHar);
  const std::string_view extension = InfoOf(SessionFormat::kLog).name;
  const std::wstring defaultExtension(extension.begin(), extension.end());
  wchar_t file[MAX_PATH] = {};
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = GetActiveWindow();
  dialog.lpstrFilter = filter.c_str();
  dialog.lpstrFile = file;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrDefExt = defaultExtension.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
  if (!chosen) return std::nullopt;
  return std::filesystem::path(file);
}

bool CFileCommands::OnCommand(int commandId, HWND window) {
  switch (commandId) {
    case command::kLoad:
      Load(window);
      return true;
    case command::kSave:
    case command::kSaveAs:
      Save(window);
      return true;
    default:
      return false;
  }
}

void CFileCommands::Load(HWND window) {
  const auto path = ChooseSessionFile(false);
  if (!path) return;
  SessionFileLoad load = LoadSessionFile(*path, m_clock);
  CWinMessageBox messages(window);
  if (load.error) messages.ShowMessage({FromUtf8(load.error->message), kErrorCaption});
  if (load.message) messages.ShowMessage(*load.message);
  if (load.replacesSession) m_model.ReplaceSession(std::move(load.records));
}

void CFileCommands::Save(HWND window) {
  const auto path = ChooseSessionFile(true);
  if (!path) return;
  if (const auto error = SaveLogFile(*path, m_model.Session())) {
    const std::u16string text = std::u16string(kWriteErrorText) + u"\n" + FromUtf8(error->message);
    CWinMessageBox(window).ShowMessage({text, kErrorCaption});
    return;
  }
  m_model.MarkSaved();
}

}  // namespace tracewell::win
