#include "views/text_rows.h"

namespace tracewell {

void AppendRowCopyText(std::u16string& out, std::span<const std::u16string> cells) {
  for (const auto& cell : cells) {
    out += cell;
    out += u"  ";
  }
  out += u"\r\n";
}

std::u16string AllRowsCopyText(const TextRows& rows) {
  std::u16string text;
  for (const auto& row : rows) AppendRowCopyText(text, row);
  return text;
}

}  // namespace tracewell
