#include "file_dialog.h"

#include <commdlg.h>

namespace tracewell::win {

std::optional<std::filesystem::path> RunFileDialog(const FileDialogRequest& request) {
  wchar_t file[MAX_PATH] = {};
  if (request.proposedName.size() >= MAX_PATH) return std::nullopt;
  request.proposedName.copy(file, request.proposedName.size());
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = request.owner;
  dialog.lpstrFilter = request.filter.c_str();
  dialog.lpstrFile = file;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrDefExt = request.defaultExtension.empty() ? nullptr : request.defaultExtension.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY;
  if (request.checkExisting) dialog.Flags |= request.save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST;
  const BOOL chosen = request.save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
  if (!chosen) return std::nullopt;
  return std::filesystem::path(file);
}

}  // namespace tracewell::win
