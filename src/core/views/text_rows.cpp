#include "views/text_rows.h"

#include <utility>

namespace tracewell {

void AppendNameValueRows(TextRows& rows, std::vector<NameValueText> pairs) {
  for (auto& pair : pairs) rows.push_back({std::move(pair.name), std::move(pair.value)});
}

void AppendRowCopyText(std::u16string& out, std::span<const std::u16string> cells) {
  for (const auto& cell : cells) {
    out += cell;
    out += u"  ";
  }
  out += u"\r\n";
}

}  // namespace tracewell
