#pragma once
// The formats a session is written in: the log file that loads back, and the four
// exports. Each has its short name (also its default extension) and the filter
// entry that its file dialog offers.

#include <array>
#include <filesystem>
#include <optional>
#include <string_view>

#include "record/clock.h"
#include "record/http_transaction.h"
#include "session_io/file_io.h"
#include "session_io/har_export.h"
#include "session_io/work_progress.h"

namespace tracewell {

enum class SessionFormat { kLog, kXml, kCsv, kText, kHar };

struct SessionFormatInfo {
  SessionFormat format;
  std::string_view name;
  std::u16string_view filterText;
};

extern const std::array<SessionFormatInfo, 5> kSessionFormats;

const SessionFormatInfo& InfoOf(SessionFormat format);
// The format with this short name, or null.
const SessionFormatInfo* FindSessionFormat(std::string_view name);
// The format named by the path's extension (any case), or null.
const SessionFormatInfo* FormatOfPath(const std::filesystem::path& path);
// The format that a main-window command writes (Save, "Save..." and the exports), or
// null for every other command.
const SessionFormatInfo* FormatWrittenBy(int commandId);

// Writes every record not cleared to `path`, replacing it only once written whole.
// The clock gives HAR times their local offset; `notice` hears of the temporary file;
// `progress` hears of the records written, and when it stops the work the old file
// stays as it was.
std::optional<FileError> WriteSessionFile(SessionFormat format, const std::filesystem::path& path,
                                          const TransactionArray& records, const IClock& clock,
                                          const HarExportOptions& harOptions = {},
                                          const TemporaryFileNotice& notice = {},
                                          IWorkProgress* progress = nullptr);

}  // namespace tracewell
