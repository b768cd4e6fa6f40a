#pragma once
// Loading a session file for a subcommand, with the loader's messages on stderr: a
// HAR file when the name ends in ".har" (any case), a log file otherwise.

#include <optional>
#include <ostream>
#include <string>

#include "record/http_transaction.h"

namespace tracewell::cli {

struct LoadedSession {
  TransactionArray records;
  bool complete = true;  // false when the file was damaged after its header
};

// The file's records, or none (after saying why on `err`) when the file cannot be
// opened or is refused. A damaged log file yields the records read whole,
// incomplete; a HAR file is read whole or refused. A terminal sees the progress
// unless `quiet`.
std::optional<LoadedSession> LoadNamedSession(const std::string& path, std::ostream& err, bool quiet);

}  // namespace tracewell::cli
