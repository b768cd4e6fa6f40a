#include "views/text_rows.h"

namespace tracewell {

void AppendRowCopyText(std::u16string& out, std::span<const std::u16string> cells) {
  for (const auto& cell : cells) {
    out += cell;
    out += u"  ";
  }
  out += u"\r\n";
}

}  // namespace tracewell
