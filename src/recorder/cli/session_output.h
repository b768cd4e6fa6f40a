#pragma once
// What the recording commands do with their session: print each record's grid row as
// it finishes, and save the session at the end without losing it when the file named
// cannot be written.

#include <signal.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <unordered_map>

#include "capture/capture_receiver.h"
#include "record/http_transaction.h"
#include "session_io/session_formats.h"
#include "session_io/file_io.h"

namespace tracewell::cli {

// The receiving end of the capture: keeps the session and prints each record's row
// when it finishes.
class CRecordPrinter final : public ITransactionHandler {
 public:
  CRecordPrinter(std::ostream& out, bool quiet) : m_out(out), m_quiet(quiet) {}

  void OnTransactionStarted(std::unique_ptr<CHttpTransaction> record) override;
  void OnTransactionUpdated(CHttpTransaction& record, std::uint32_t mask) override;
  const TransactionArray& Records() const { return m_records; }

 private:
  std::ostream& m_out;
  bool m_quiet;
  TransactionArray m_records;
  std::unordered_map<const CHttpTransaction*, int> m_rowNumbers;  // of running records
};

// Blocks SIGINT and SIGTERM in the calling thread (threads started later inherit
// that), so that the command takes them when it is ready to stop; returns the set.
sigset_t BlockStopSignals();

// "tracewell-YYYYMMDD-HHMMSS.elf" of the local time now.
std::string DefaultOutput();

// Why `output` cannot be saved to, or nothing when it can: a probe file is created and
// removed beside it, because the save writes a temporary file there and renames it.
// Checked before recording, so that no session is recorded only to be lost at the end.
std::optional<std::string> WhyNotWritable(const std::filesystem::path& output);

// The format the output's extension names, or null after saying on `err` that it
// names none.
const SessionFormatInfo* OutputFormat(std::string_view command, const std::string& output, std::ostream& err);

// Writes the session to the path given.
using SessionWriter = std::function<std::optional<FileError>(const std::filesystem::path&)>;

// Saves the session to `output`, or else to a file of its own in the current folder,
// $TMPDIR or /tmp; every failure is said on `err`, prefixed with "tracewell COMMAND: ".
// True only when `output` itself was written.
bool SaveSession(std::string_view command, const std::string& output,
                 const TransactionArray& records, const SessionWriter& write, std::ostream& err);

}  // namespace tracewell::cli
