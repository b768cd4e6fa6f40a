#pragma once
// Reading a session from a file of either kind: a HAR file when the name ends in
// ".har" (any case), a log file otherwise. Hosts show the messages their way.

#include <filesystem>
#include <optional>

#include "record/clock.h"
#include "record/http_transaction.h"
#include "session_io/file_io.h"
#include "session_io/work_progress.h"
#include "text/user_message.h"

namespace tracewell {

struct SessionFileLoad {
  // True when `records` replace the session: a log file whose header was accepted
  // with a positive count, or a HAR file read whole with at least one entry.
  bool replacesSession = false;
  TransactionArray records;
  // The log loader's message: a refusal, or a damaged record part (then `records`
  // holds the records read whole).
  std::optional<UserMessage> message;
  // The file cannot be opened, or the HAR file was refused: why, in words, naming
  // the file.
  std::optional<FileError> error;
  // The host stopped the load: nothing else is set, the session stays as it was.
  bool stopped = false;
};

bool IsHarPath(const std::filesystem::path& path);
// A name that says it holds a session: ".elf" or ".har" (any case).
bool IsSessionPath(const std::filesystem::path& path);

// `progress` hears of the bytes read and may stop the load.
SessionFileLoad LoadSessionFile(const std::filesystem::path& path, const IClock& clock,
                                IWorkProgress* progress = nullptr);

}  // namespace tracewell
