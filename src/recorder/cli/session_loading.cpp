#include "cli/session_loading.h"

#include "cli/progress_line.h"
#include "session_io/session_file.h"
#include "system_clock.h"
#include "text/utf8.h"

namespace tracewell::cli {

std::optional<LoadedSession> LoadNamedSession(const std::string& path, std::ostream& err, bool quiet) {
  SessionFileLoad load = [&] {
    const auto progress = ProgressLineFor(err, "loading " + path, quiet);
    return LoadSessionFile(path, SystemClock(), progress.get());
  }();
  if (load.error) {
    err << "tracewell: " << load.error->message << "\n";
    return std::nullopt;
  }
  if (load.message) err << "tracewell: " << path << ": " << ToUtf8(load.message->text) << "\n";
  if (load.message && !load.replacesSession) return std::nullopt;
  return LoadedSession{std::move(load.records), !load.message};
}

}  // namespace tracewell::cli
