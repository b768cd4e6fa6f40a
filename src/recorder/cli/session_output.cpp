#include "cli/session_output.h"

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <system_error>
#include <vector>

#include "capture/column_mask.h"
#include "text/utf8.h"
#include "views/grid_columns.h"

namespace tracewell::cli {
namespace {

// "tracewell-YYYYMMDD-HHMMSS" of the local time now, then `suffix`.
std::string TimestampedName(std::string_view suffix) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char name[64];
  std::strftime(name, sizeof name, "tracewell-%Y%m%d-%H%M%S", &local);
  return name + std::string(suffix);
}

// Where the session goes when its file cannot be written at the end: a name of its
// own in the current folder, else in $TMPDIR, else in /tmp.
std::vector<std::filesystem::path> FallbackOutputs(const std::string& extension) {
  const std::string name = TimestampedName("-" + std::to_string(getpid()) + extension);
  std::vector<std::filesystem::path> folders;
  std::error_code ec;
  if (auto here = std::filesystem::current_path(ec); !ec) folders.push_back(std::move(here));
  if (const char* tmpdir = std::getenv("TMPDIR"); tmpdir != nullptr && *tmpdir != '\0') {
    folders.emplace_back(tmpdir);
  }
  folders.emplace_back("/tmp");
  std::vector<std::filesystem::path> outputs;
  for (const auto& folder : folders) {
    auto output = folder / name;
    if (std::find(outputs.begin(), outputs.end(), output) == outputs.end()) {
      outputs.push_back(std::move(output));
    }
  }
  return outputs;
}

}  // namespace

void CRecordPrinter::OnTransactionStarted(std::unique_ptr<CHttpTransaction> record) {
  if (!m_quiet) m_rowNumbers[record.get()] = static_cast<int>(m_records.size());
  m_records.push_back(std::move(record));
}

void CRecordPrinter::OnTransactionUpdated(CHttpTransaction& record, std::uint32_t mask) {
  if (m_quiet || !(mask & kMaskFinished)) return;
  const auto row = m_rowNumbers.find(&record);
  if (row == m_rowNumbers.end()) return;
  std::u16string text;
  AppendRowCopyText(text, NewRowTexts(record, row->second));
  m_rowNumbers.erase(row);
  m_out << ToUtf8(text) << std::flush;
}

sigset_t BlockStopSignals() {
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  return stopSignals;
}

std::string DefaultOutput() { return TimestampedName(".elf"); }

const SessionFormatInfo* OutputFormat(std::string_view command, const std::string& output, std::ostream& err) {
  const SessionFormatInfo* format = FormatOfPath(output);
  if (format == nullptr) {
    err << "tracewell " << command << ": " << output
        << ": the extension names no session format (.elf, .har, .xml, .csv, .txt)\n";
  }
  return format;
}

std::optional<std::string> WhyNotWritable(const std::filesystem::path& output) {
  std::error_code ec;
  if (std::filesystem::is_directory(output, ec)) return "Is a directory";
  std::string probe = output.string() + ".probe-XXXXXX";
  const int fd = mkstemp(probe.data());
  if (fd < 0) return std::generic_category().message(errno);
  close(fd);
  if (unlink(probe.c_str()) != 0) {
    return "cannot remove the probe file " + probe + ": " + std::generic_category().message(errno);
  }
  return std::nullopt;
}

bool SaveSession(std::string_view command, const std::string& output,
                 const TransactionArray& records, const SessionWriter& write, std::ostream& err) {
  const auto error = write(output);
  if (!error) {
    err << "Saved " << records.size() << " records to " << output << "\n";
    return true;
  }
  err << "tracewell " << command << ": " << error->message << "\n";
  for (const auto& fallback : FallbackOutputs(std::filesystem::path(output).extension().string())) {
    const auto fallbackError = write(fallback);
    if (!fallbackError) {
      err << "tracewell " << command << ": saved " << records.size() << " records to " << fallback.string()
          << " instead of " << output << "\n";
      return false;
    }
    err << "tracewell " << command << ": " << fallbackError->message << "\n";
  }
  err << "tracewell " << command << ": the session of " << records.size() << " records was not saved\n";
  return false;
}

}  // namespace tracewell::cli
