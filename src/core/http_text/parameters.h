#pragma once
// Parameters of a query string or a form body: pieces between runs of "&", each
// split at its first "=" when that is not its first character. CR and LF are
// ordinary characters here; nothing is decoded or trimmed.

#include "http_text/splitting.h"

namespace tracewell {

template <typename Visit>
void ForEachParameter(std::u16string_view text, Visit&& visit) {
  ForEachPiece(text, u"&", [&](std::u16string_view piece) {
    if (const auto parameter = SplitAtFirst(piece, u'=')) visit(*parameter);
  });
}

}  // namespace tracewell
