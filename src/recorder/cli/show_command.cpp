#include <charconv>
#include <variant>

#include "cli/arguments.h"
#include "cli/cli.h"
#include "cli/commands.h"
#include "cli/detail_tabs.h"
#include "cli/session_file.h"
#include "system_clock.h"
#include "text/utf8.h"
#include "views/grid_columns.h"

namespace tracewell::cli {

const std::string_view kShowHelp =
    "usage: tracewell show FILE.elf [--record N --tab header|cookies|cache|query|post]\n"
    "\n"
    "Prints the session grid of FILE: one line per record in file order, the ten\n"
    "columns No., Started, Duration(s), Sent, Method, Result, Size, Type, URL and\n"
    "IP Address, each followed by two spaces, lines ending in CR LF (UTF-8).\n"
    "\n"
    "With --record N (0 for the first record) and --tab, prints the rows of that\n"
    "detail tab for record N the same way; for header and cookies the request\n"
    "list comes first, then the response list.\n";

namespace {

constexpr OptionSpec kShowOptions[] = {
    {"--help", "-h", false}, {"--record", "", true}, {"--tab", "", true}};

std::optional<std::size_t> ParseIndex(const std::string& text) {
  std::size_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::u16string GridText(const TransactionArray& records) {
  std::u16string rows;
  int rowNumber = 0;
  for (const auto& record : records) AppendRowCopyText(rows, NewRowTexts(*record, rowNumber++));
  return rows;
}

std::string TabNames() {
  std::string names;
  for (const auto name : kDetailTabs) names += (names.empty() ? "" : ", ") + std::string(name);
  return names;
}

int Usage(std::ostream& err, const std::string& message) {
  err << "tracewell show: " << message << "\n" << kShowHelp;
  return kExitUsage;
}

}  // namespace

int RunShow(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  auto parsed = ParseSubcommand("show", kShowHelp, args, kShowOptions, out, err);
  if (const int* exitCode = std::get_if<int>(&parsed)) return *exitCode;
  const auto& arguments = std::get<ParsedArguments>(parsed);
  if (arguments.positional.size() != 1) return Usage(err, "expects one session file");

  const auto recordText = arguments.Value("--record");
  const auto tab = arguments.Value("--tab");
  if (recordText.has_value() != tab.has_value()) {
    return Usage(err, "--record and --tab go together");
  }
  const auto index = recordText ? ParseIndex(*recordText) : std::nullopt;
  if (recordText && !index) return Usage(err, "--record needs a record number, 0 or more");
  if (tab && !IsDetailTab(*tab)) return Usage(err, "--tab is one of " + TabNames());

  const auto session = LoadSessionFile(arguments.positional[0], err);
  if (!session) return kExitFailed;
  if (!index) {
    out << ToUtf8(GridText(session->records));
  } else if (*index >= session->records.size()) {
    return Usage(err, "record " + *recordText + " is not in the file, which holds " +
                          std::to_string(session->records.size()) + " records");
  } else {
    out << ToUtf8(DetailTabText(*tab, *session->records[*index], SystemClock()));
  }
  return session->complete ? kExitDone : kExitFailed;
}

}  // namespace tracewell::cli
