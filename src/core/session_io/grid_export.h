#pragma once
// The grid exports: the grid's columns less "No." as a table, one line per record
// that is not cleared, in session order, CR LF line ends, in the narrow code page.
// CSV quotes a field (RFC 4180) only when it holds a comma, a quote or a line
// break; the text table writes every field as it is, separated by single spaces.

#include <optional>

#include "record/http_transaction.h"
#include "session_io/byte_stream.h"
#include "session_io/file_io.h"
#include "session_io/work_progress.h"

namespace tracewell {

enum class GridTableFormat { kCsv, kText };

// Fails only when `progress` stops it.
std::optional<FileError> WriteGridTable(const TransactionArray& records, GridTableFormat format,
                                        IByteSink& sink, IWorkProgress* progress = nullptr);

}  // namespace tracewell
