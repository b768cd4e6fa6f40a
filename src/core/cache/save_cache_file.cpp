#include "cache/save_cache_file.h"

#include "cache/cache_file_list.h"
#include "text/format.h"

namespace tracewell {

void SaveCacheFileAs(const CSelectableTextList& fileList, ISaveFileDialog& dialog, ICacheFiles& files,
                     IMessageBox& messages) {
  const auto row = fileList.FirstSelectedRow();
  if (!row) {
    messages.ShowMessage(kMsgSelectFileToSave);
    return;
  }
  // Copies: the list may change while the dialog is open.
  const std::u16string fileName = fileList.Cell(*row, file_column::kFileName);
  const std::u16string location = fileList.Cell(*row, file_column::kLocation);
  const auto target = dialog.AskSavePath(fileName, kSaveFilter);
  if (!target) return;
  const auto error = files.CopyFileReplacing(location, *target);
  if (!error) return;
  const std::u16string text = std::u16string(kCopyFailedText) + FormatText("%u", *error);
  messages.ShowMessage({text, kCopyFailedCaption});
}

}  // namespace tracewell
