#include "session_io/xml_text.h"

#include <cstdio>

#include "text/utf8.h"

namespace tracewell {
namespace {

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

bool IsNameStart(char32_t c) {
  return (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z') || c == U'_' ||
         (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) ||
         (c >= 0x370 && c <= 0x37D) || (c >= 0x37F && c <= 0x1FFF) ||
         (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) ||
         (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) ||
         (c >= 0xF900 && c <= 0xFDCF) || (c >= 0xFDF0 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0xEFFFF);
}

bool IsNameChar(char32_t c) {
  return IsNameStart(c) || c == U'-' || c == U'.' || (c >= U'0' && c <= U'9') || c == 0xB7 ||
         (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

// The code point at `i` (a surrogate pair counts as one) and its length in units.
char32_t CodePointAt(std::u16string_view text, std::size_t i, std::size_t& units) {
  const char16_t unit = text[i];
  units = 1;
  if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
      text[i + 1] <= 0xDFFF) {
    units = 2;
    return 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (char32_t{text[i + 1]} - 0xDC00);
  }
  return unit;  // an unpaired surrogate is no name character
}

bool IsValidName(std::u16string_view name) {
  if (name.empty()) return false;
  for (std::size_t i = 0, units = 0; i < name.size(); i += units) {
    const char32_t c = CodePointAt(name, i, units);
    if (!(i == 0 ? IsNameStart(c) : IsNameChar(c))) return false;
  }
  return true;
}

}  // namespace

void AppendXmlEscaped(std::string& out, std::u16string_view text, bool inAttribute) {
  std::size_t runStart = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    std::string_view replacement;
    if (c == u'&') {
      replacement = "&amp;";
    } else if (c == u'<') {
      replacement = "&lt;";
    } else if (c == u'>') {
      replacement = "&gt;";
    } else if (c == u'"' && inAttribute) {
      replacement = "&quot;";
    } else if ((c < 0x20 && c != u'\t' && c != u'\r' && c != u'\n') || c == 0xFFFE ||
               c == 0xFFFF) {
      replacement = kReplacementUtf8;
    } else {
      continue;  // unpaired surrogates are replaced by the UTF-8 encoder
    }
    AppendUtf8(out, text.substr(runStart, i - runStart));
    out += replacement;
    runStart = i + 1;
  }
  AppendUtf8(out, text.substr(runStart));
}

void AppendXmlName(std::string& out, std::u16string_view name) {
  if (IsValidName(name)) {
    AppendUtf8(out, name);
    return;
  }
  for (std::size_t i = 0, units = 0; i < name.size(); i += units) {
    const char32_t c = CodePointAt(name, i, units);
    if (i == 0 ? IsNameStart(c) : IsNameChar(c)) {
      AppendUtf8(out, name.substr(i, units));
    } else {
      char escaped[16];
      std::snprintf(escaped, sizeof escaped, c > 0xFFFF ? "_x%08X_" : "_x%04X_",
                    static_cast<unsigned>(c));
      out += escaped;
    }
  }
}

}  // namespace tracewell
