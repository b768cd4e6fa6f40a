#include "file_commands.h"

#include <string>

#include "file_dialog.h"
#include "session_io/session_file.h"
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

std::optional<std::filesystem::path> ChooseFileToWrite(const SessionFormatInfo& format) {
  FileDialogRequest request;
  request.owner = GetActiveWindow();
  request.save = true;
  request.filter = FilterEntry(format.format);
  request.defaultExtension.assign(format.name.begin(), format.name.end());
  return RunFileDialog(request);
}

std::optional<std::filesystem::path> ChooseFileToLoad() {
  const std::string_view extension = InfoOf(SessionFormat::kLog).name;
  FileDialogRequest request;
  request.owner = GetActiveWindow();
  request.filter = FilterEntry(SessionFormat::kLog) + FilterEntry(SessionFormat::kHar);
  request.defaultExtension.assign(extension.begin(), extension.end());
  return RunFileDialog(request);
}

bool CFileCommands::OnCommand(int commandId, HWND window) {
  if (commandId == command::kLoad) {
    Load(window);
    return true;
  }
  const SessionFormatInfo* format = FormatWrittenBy(commandId);
  if (format == nullptr) return false;
  Write(*format, window);
  return true;
}

void CFileCommands::Load(HWND window) {
  const auto path = ChooseFileToLoad();
  if (!path) return;
  SessionFileLoad load = LoadSessionFile(*path, m_clock);
  CWinMessageBox messages(window);
  if (load.error) messages.ShowMessage({FromUtf8(load.error->message), kErrorCaption});
  if (load.message) messages.ShowMessage(*load.message);
  if (load.replacesSession) m_model.ReplaceSession(std::move(load.records));
}

void CFileCommands::Write(const SessionFormatInfo& format, HWND window) {
  const auto path = ChooseFileToWrite(format);
  if (!path) return;
  if (const auto error = WriteSessionFile(format.format, *path, m_model.Session(), m_clock)) {
    const std::u16string text = std::u16string(kWriteErrorText) + u"\n" + FromUtf8(error->message);
    CWinMessageBox(window).ShowMessage({text, kErrorCaption});
    return;
  }
  // Only a log file holds the session whole; the exports leave out part of it.
  if (format.format == SessionFormat::kLog) m_model.MarkSaved();
}

}  // namespace tracewell::win
