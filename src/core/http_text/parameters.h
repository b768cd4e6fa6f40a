#pragma once
// Parameters of a query string or a form body: pieces between runs of "&", each
// split at its first "=" when that is not its first character. CR and LF are
// ordinary characters here; nothing is decoded. The lists below trim names and
// values; ForEachParameter leaves them as found.

#include <string_view>
#include <vector>

#include "http_text/splitting.h"

namespace tracewell {

template <typename Visit>
void ForEachParameter(std::u16string_view text, Visit&& visit) {
  ForEachPiece(text, u"&", [&](std::u16string_view piece) {
    if (const auto parameter = SplitAtFirst(piece, u'=')) visit(*parameter);
  });
}

// The parameters of a URL's query: everything after its first "?" (not at 0).
std::vector<NameValueText> QueryParameters(std::u16string_view url);

// The parameters of a request body, which only the method "POST" has.
std::vector<NameValueText> PostParameters(std::u16string_view method, std::u16string_view body);

}  // namespace tracewell
