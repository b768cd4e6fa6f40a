#pragma once
// "Save As..." under the manager's file list: copies the first selected cached file
// to a path the user picks.

#include <string_view>

#include "cache/cache_files.h"
#include "cache/selectable_list.h"
#include "text/message_box.h"

namespace tracewell {

inline constexpr UserMessage kMsgSelectFileToSave{u"Please select a file to save", u"Save"};
inline constexpr std::u16string_view kCopyFailedText = u"Can't copy file, error code is ";
inline constexpr std::u16string_view kCopyFailedCaption = u"Error";
inline constexpr std::u16string_view kSaveFilter = u"All Files (*.*)";

// Asks for a path proposing the row's file name and copies the row's "Location"
// there; a cancelled dialog does nothing, a failed copy shows the error number.
void SaveCacheFileAs(const CSelectableTextList& fileList, ISaveFileDialog& dialog, ICacheFiles& files,
                     IMessageBox& messages);

}  // namespace tracewell
