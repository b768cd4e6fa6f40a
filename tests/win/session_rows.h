#pragma once
// A session's rows as `tracewell show` prints them (each cell followed by two spaces,
// lines ending in CR LF), made comparable between runs and between the Linux recorder
// and the Windows library. Masked with "*": the start time and duration, and Sent,
// the size of the request head as the client wrote it, which is the client's own
// (curl asks the proxy with an absolute URL and its fields, WinINet with its fields).
// Every "127.0.0.1:<port>" reads "127.0.0.1:PORT", as ports differ from run to run.

#include <cstddef>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

namespace tracewell::testing {

// One printed row, without its line end, printed again with the masks.
inline std::string MaskedRow(std::string_view line) {
  static const std::regex port("127\\.0\\.0\\.1:[0-9]+");
  std::vector<std::string> cells;
  for (std::size_t start = 0; start < line.size();) {
    const std::size_t end = std::min(line.find("  ", start), line.size());
    cells.emplace_back(line.substr(start, end - start));
    start = end + 2;
  }
  std::string row;
  for (std::size_t column = 0; column < cells.size(); ++column) {
    const bool masked = column >= 1 && column <= 3;  // Started, Duration, Sent
    row += masked ? "*" : std::regex_replace(cells[column], port, "127.0.0.1:PORT");
    row += "  ";
  }
  return row;
}

// Every row of a printed session; empty lines are skipped.
inline std::vector<std::string> MaskedRows(std::string_view text) {
  std::vector<std::string> rows;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    std::string_view line = text.substr(start, end - start);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (!line.empty()) rows.push_back(MaskedRow(line));
    start = end + 1;
  }
  return rows;
}

}  // namespace tracewell::testing
