#pragma once
// Text for XML documents, appended as UTF-8.

#include <string>
#include <string_view>

namespace tracewell {

// Character data with "&", "<" and ">" escaped, and '"' too inside an attribute.
// Characters XML cannot carry at all (C0 controls other than tab, CR and LF, U+FFFE,
// U+FFFF, unpaired surrogates) become U+FFFD.
void AppendXmlEscaped(std::string& out, std::u16string_view text, bool inAttribute);

// `name` unchanged when it is a valid XML element name without a colon; otherwise
// each character that may not stand where it stands is written as _xHHHH_.
void AppendXmlName(std::string& out, std::u16string_view name);

}  // namespace tracewell
