#include <algorithm>
#include <array>
#include <charconv>
#include <functional>
#include <span>
#include <variant>

#include "bodies/cache_files_chain.h"
#include "bodies/stored_entry_lookup.h"
#include "cli/arguments.h"
#include "cli/cli.h"
#include "cli/commands.h"
#include "cli/detail_tab_text.h"
#include "cli/session_loading.h"
#include "http_text/splitting.h"
#include "icu_collator.h"
#include "proxy/failure_log.h"
#include "store/response_store.h"
#include "system_clock.h"
#include "text/utf8.h"
#include "views/find.h"
#include "views/grid_columns.h"
#include "views/main_window_model.h"
#include "views/quick_filter.h"

namespace tracewell::cli {

const std::string_view kShowHelp =
    "usage: tracewell show FILE [--sort COLUMN [--descending]]\n"
    "                           [--filter-status CODES] [--filter-type TYPES] [--combine or|and]\n"
    "                           [--grep TEXT] [--quiet]\n"
    "                           [--find TEXT --scope SCOPES [--match-case] [--whole-word]]\n"
    "       tracewell show FILE --record N --tab header|cookies|cache|query|post|body\n"
    "                           [--no-store] [--quiet]\n"
    "\n"
    "Prints the session grid of FILE (a .elf log file or a .har file): one line per\n"
    "record in file order, the ten columns No., Started, Duration(s), Sent, Method,\n"
    "Result, Size, Type, URL and IP Address, each followed by two spaces, lines\n"
    "ending in CR LF (UTF-8).\n"
    "\n"
    "  --sort COLUMN       sort the rows as a click on the column header would (text\n"
    "                      order of the user's locale): the header (\"IP Address\"),\n"
    "                      its index 0 to 9, or no, started, duration, sent, method,\n"
    "                      result, size, type, url, ip\n"
    "  --descending        sort the other way\n"
    "  --filter-status     show only records with one of these results, e.g. 200,304\n"
    "  --filter-type       show only records of these content types, e.g. text/*,image/png\n"
    "                      (text/*, image/* and application/* match any type containing\n"
    "                      text/, image/ or application/)\n"
    "  --combine or|and    how the two filters combine (default or)\n"
    "  --grep TEXT         the window's quick filter: show only records whose URL\n"
    "                      contains TEXT (any case); method:TEXT, status:TEXT,\n"
    "                      type:TEXT or host:TEXT look in the Method, Result or Type\n"
    "                      column or the URL's host instead; with the filters above,\n"
    "                      a record must pass both\n"
    "  --find TEXT         print only the rows whose record contains TEXT in a scope\n"
    "  --scope SCOPES      where to look: urls,headers,query,cookies,post,result\n"
    "  --match-case, --whole-word   as in the Find dialog\n"
    "  --quiet             no progress line while a large file loads\n"
    "\n"
    "With --record N (0 for the first record of the file) and --tab, prints the rows\n"
    "of that detail tab for record N the same way; for header and cookies the\n"
    "request list comes first, then the response list. The body tab prints the\n"
    "request body and then the response body, each after a summary line: text in\n"
    "its charset, JSON laid out, anything else as a hex dump. A HAR file's response\n"
    "bodies are its own; a log file's are read from the response store that kept\n"
    "them, $XDG_CACHE_HOME/tracewell/store (default: ~/.cache/tracewell/store),\n"
    "which a running `tracewell record` may be using meanwhile.\n"
    "\n"
    "  --no-store          read no response store: only a HAR file's own bodies show\n";

namespace {

constexpr OptionSpec kShowOptions[] = {
    {"--help", "-h", false},       {"--record", "", true},        {"--tab", "", true},
    {"--sort", "", true},          {"--descending", "", false},   {"--filter-status", "", true},
    {"--filter-type", "", true},   {"--combine", "", true},       {"--find", "", true},
    {"--scope", "", true},         {"--match-case", "", false},   {"--whole-word", "", false},
    {"--grep", "", true},          {"--no-store", "", false},     {"--quiet", "-q", false}};

// Column names for --sort, in column order.
constexpr std::array<std::string_view, kGridColumnCount> kSortKeys = {
    "no", "started", "duration", "sent", "method", "result", "size", "type", "url", "ip"};

// Scope names for --scope, in the Find dialog's order; the content of a page is not
// kept in session files.
constexpr std::array<std::string_view, 6> kScopeKeys = {"urls",    "headers", "query",
                                                        "cookies", "post",    "result"};

struct UsageProblem {
  std::string message;
};

std::optional<std::size_t> KeyIndex(std::span<const std::string_view> keys, std::string_view key) {
  const auto it = std::ranges::find(keys, key);
  if (it == keys.end()) return std::nullopt;
  return static_cast<std::size_t>(it - keys.begin());
}

std::string KeyList(std::span<const std::string_view> keys) {
  std::string list;
  for (const auto key : keys) list += (list.empty() ? "" : ", ") + std::string(key);
  return list;
}

// A column by its short name, its index or its header text in any case.
std::optional<std::size_t> SortColumn(const std::string& name) {
  if (const auto key = KeyIndex(kSortKeys, name)) return key;
  if (const auto index = ParseIndex(name); index && *index < kGridColumnCount) return index;
  for (std::size_t column = 0; column < kGridColumnCount; ++column) {
    if (EqualsIgnoringCase(FromUtf8(name), kGridColumns[column].header)) return column;
  }
  return std::nullopt;
}

std::vector<std::string> CommaList(const std::string& text) {
  std::vector<std::string> items;
  std::size_t begin = 0;
  for (std::size_t comma; (comma = text.find(',', begin)) != std::string::npos; begin = comma + 1) {
    items.push_back(text.substr(begin, comma - begin));
  }
  items.push_back(text.substr(begin));
  std::erase(items, "");
  return items;
}

std::vector<std::u16string> Utf16List(const std::string& text) {
  std::vector<std::u16string> items;
  for (const auto& item : CommaList(text)) items.push_back(FromUtf8(item));
  return items;
}

// The grid as the window would show it: filter and quick filter, then sort.
struct GridOptions {
  std::optional<FilterSettings> filter;
  std::u16string quickFilter;
  std::optional<std::size_t> sortColumn;
  bool descending = false;
  std::optional<FindQuery> find;
};

std::variant<GridOptions, UsageProblem> ParseGridOptions(const ParsedArguments& arguments) {
  GridOptions options;
  const auto statuses = arguments.Value("--filter-status");
  const auto types = arguments.Value("--filter-type");
  const auto combine = arguments.Value("--combine");
  if (combine && *combine != "or" && *combine != "and") {
    return UsageProblem{"--combine is or or and"};
  }
  if (statuses || types) {
    FilterSettings& filter = options.filter.emplace();
    filter.m_bFilterOn = true;
    filter.m_bFilterByStatus = statuses.has_value();
    filter.m_bFilterByType = types.has_value();
    filter.m_nFilterCombine = combine == "and" ? 1 : 0;
    if (statuses) filter.m_arrFilterStatusCodes = Utf16List(*statuses);
    if (types) filter.m_arrFilterContentTypes = Utf16List(*types);
  } else if (combine) {
    return UsageProblem{"--combine needs --filter-status and --filter-type"};
  }
  options.quickFilter = FromUtf8(arguments.Value("--grep").value_or(""));

  if (const auto sort = arguments.Value("--sort")) {
    options.sortColumn = SortColumn(*sort);
    if (!options.sortColumn) {
      return UsageProblem{"--sort takes a column's header (\"IP Address\"), its index 0 to 9, or " +
                          KeyList(kSortKeys)};
    }
    options.descending = arguments.Has("--descending");
  } else if (arguments.Has("--descending")) {
    return UsageProblem{"--descending needs --sort"};
  }

  const auto text = arguments.Value("--find");
  const auto scopes = arguments.Value("--scope");
  if (text.has_value() != scopes.has_value()) return UsageProblem{"--find and --scope go together"};
  if (text) {
    FindQuery& query = options.find.emplace();
    query.text = FromUtf8(*text);
    if (query.text.empty()) return UsageProblem{"--find needs a text"};
    query.matchCase = arguments.Has("--match-case");
    query.wholeWord = arguments.Has("--whole-word");
    for (const auto& scope : CommaList(*scopes)) {
      const auto index = KeyIndex(kScopeKeys, scope);
      if (!index) return UsageProblem{"--scope takes " + KeyList(kScopeKeys)};
      query.scopes[*index] = true;
    }
    if (std::ranges::none_of(query.scopes, std::identity{})) {
      return UsageProblem{"--scope takes " + KeyList(kScopeKeys)};
    }
  } else if (arguments.Has("--match-case") || arguments.Has("--whole-word")) {
    return UsageProblem{"--match-case and --whole-word go with --find"};
  }
  return options;
}

// Rows as UTF-8 on a stream, a piece at a time, so that the text of a large session
// is never held whole.
class CRowPrinter {
 public:
  explicit CRowPrinter(std::ostream& out) : m_out(out) {}
  ~CRowPrinter() { m_out << ToUtf8(m_text); }
  CRowPrinter(const CRowPrinter&) = delete;
  CRowPrinter& operator=(const CRowPrinter&) = delete;

  void Print(std::span<const std::u16string> cells) {
    AppendRowCopyText(m_text, cells);
    if (m_text.size() < kPiece) return;
    m_out << ToUtf8(m_text);
    m_text.clear();
  }

 private:
  static constexpr std::size_t kPiece = 1 << 16;
  std::ostream& m_out;
  std::u16string m_text;
};

// Sorted rows come from the window's own grid, which needs every row at once.
void PrintSortedGrid(TransactionArray records, const GridOptions& options, std::ostream& out) {
  const CIcuCollator collator;
  const SystemClock clock;
  CMainWindowModel window(collator, clock);
  window.SetQuickFilter(options.quickFilter);  // the load below applies it
  window.ReplaceSession(std::move(records));
  if (options.filter) {
    window.Filter() = *options.filter;
    window.RebuildGrid();
  }
  CSessionGridModel& grid = window.Grid();
  if (options.sortColumn) {
    grid.SortByColumn(*options.sortColumn);
    if (options.descending) grid.SortByColumn(*options.sortColumn);
  }
  CRowPrinter printer(out);
  for (std::size_t row = 0; row < grid.RowCount(); ++row) {
    if (options.find && !RecordMatches(*grid.RowRecord(row), *options.find, nullptr)) continue;
    printer.Print(grid.Row(row));
  }
}

// In file order each row is printed as it is made, numbered as the grid numbers its
// rows, and none is kept.
void PrintGrid(TransactionArray records, const GridOptions& options, std::ostream& out) {
  if (options.sortColumn) return PrintSortedGrid(std::move(records), options, out);
  const FilterSettings filter = options.filter.value_or(FilterSettings{});
  if (filter.m_bFilterOn) ReclassifyAll(filter, records);
  const CQuickFilter quickFilter(options.quickFilter);
  CRowPrinter printer(out);
  int number = 0;
  for (const auto& record : records) {
    if (!PassesFilters(filter, quickFilter, *record)) continue;
    const int row = number++;
    if (options.find && !RecordMatches(*record, *options.find, nullptr)) continue;
    printer.Print(NewRowTexts(*record, row));
  }
}

int Usage(std::ostream& err, const std::string& message) {
  err << "tracewell show: " << message << "\n" << kShowHelp;
  return kExitUsage;
}

int ShowGrid(const ParsedArguments& arguments, std::ostream& out, std::ostream& err) {
  const auto options = ParseGridOptions(arguments);
  if (const auto* problem = std::get_if<UsageProblem>(&options)) return Usage(err, problem->message);
  auto session = LoadNamedSession(arguments.positional[0], err, arguments.Has("--quiet"));
  if (!session) return kExitFailed;
  PrintGrid(std::move(session->records), std::get<GridOptions>(options), out);
  return session->complete ? kExitDone : kExitFailed;
}

int ShowDetailTab(const ParsedArguments& arguments, const std::string& recordText,
                  const std::string& tab, std::ostream& out, std::ostream& err) {
  const auto index = ParseIndex(recordText);
  if (!index) return Usage(err, "--record needs a record number, 0 or more");
  if (!IsDetailTab(tab)) return Usage(err, "--tab is one of " + KeyList(kDetailTabs));
  auto session = LoadNamedSession(arguments.positional[0], err, arguments.Has("--quiet"));
  if (!session) return kExitFailed;
  if (*index >= session->records.size()) {
    return Usage(err, "record " + recordText + " is not in the file, which holds " +
                          std::to_string(session->records.size()) + " records");
  }
  CHttpTransaction& record = *session->records[*index];
  CCacheFilesChain stores;
  std::optional<store::CResponseStore> responseStore;
  if (tab == "body" && !arguments.Has("--no-store")) {
    stores.Add(responseStore.emplace(store::ReadOnlyStoreSettings(proxy::StandardErrorLog("tracewell show: "))));
    // A log file's record names no stored body: the store's entry for its URL may be it.
    if (!record.m_pCacheInfoAfter && !record.m_pResponseBody) {
      record.m_pCacheInfoAfter = FindStoredEntry(record, *responseStore);
    }
  }
  out << ToUtf8(DetailTabText(tab, record, SystemClock(), stores));
  return session->complete ? kExitDone : kExitFailed;
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
  if (tab) return ShowDetailTab(arguments, *recordText, *tab, out, err);
  return ShowGrid(arguments, out, err);
}

std::span<const OptionSpec> ShowOptions() { return kShowOptions; }

std::span<const std::string_view> SortColumnNames() { return kSortKeys; }

}  // namespace tracewell::cli
