#include "cli/session_file.h"

#include "session_io/log_file.h"
#include "text/utf8.h"

namespace tracewell::cli {

std::optional<LoadedSession> LoadSessionFile(const std::string& path, std::ostream& err) {
  FileError openError;
  const auto source = FileByteSource::Open(path, openError);
  if (!source) {
    err << "tracewell: " << openError.message << "\n";
    return std::nullopt;
  }
  LogLoadResult result = ReadLogFile(*source);
  if (result.message) err << "tracewell: " << path << ": " << ToUtf8(result.message->text) << "\n";
  if (result.message && !result.replacesSession) return std::nullopt;
  return LoadedSession{std::move(result.records), !result.message};
}

}  // namespace tracewell::cli
