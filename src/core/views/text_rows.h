#pragma once
// Rows of cell texts as a list shows them, and the copy text of a row.

#include <span>
#include <string>
#include <vector>

#include "http_text/splitting.h"

namespace tracewell {

using TextRow = std::vector<std::u16string>;
using TextRows = std::vector<TextRow>;

// Appends a (name, value) row per pair.
void AppendNameValueRows(TextRows& rows, std::vector<NameValueText> pairs);

// A row as the copy commands write it: every cell followed by two spaces, then CR LF.
void AppendRowCopyText(std::u16string& out, std::span<const std::u16string> cells);

}  // namespace tracewell
