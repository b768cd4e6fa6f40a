#include "text/utf8.h"

#include <cstdint>

namespace tracewell {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendCodePoint(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

void AppendUtf16(std::u16string& out, char32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<char16_t>(cp));
  } else {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  }
}

// Decodes one UTF-8 sequence at `pos`, advancing it; rejects overlong forms,
// surrogates and values above U+10FFFF as the standard requires.
char32_t DecodeOne(std::string_view bytes, std::size_t& pos) {
  const auto lead = static_cast<unsigned char>(bytes[pos++]);
  if (lead < 0x80) return lead;
  int extra = 0;
  char32_t cp = 0;
  char32_t minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1, cp = lead & 0x1Fu, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2, cp = lead & 0x0Fu, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3, cp = lead & 0x07u, minimum = 0x10000;
  } else {
    return kReplacement;
  }
  for (int i = 0; i < extra; ++i) {
    if (pos >= bytes.size()) return kReplacement;
    const auto next = static_cast<unsigned char>(bytes[pos]);
    if ((next & 0xC0) != 0x80) return kReplacement;  // leave it for the next sequence
    cp = (cp << 6) | (next & 0x3Fu);
    ++pos;
  }
  if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return kReplacement;
  return cp;
}

}  // namespace

void AppendUtf8(std::string& out, std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    // Runs of ASCII, the bulk of headers and URLs, are copied in one go.
    std::size_t end = i;
    while (end < text.size() && text[end] < 0x80) ++end;
    if (end > i) {
      const std::size_t at = out.size();
      out.resize(at + (end - i));
      for (std::size_t k = i; k < end; ++k) out[at + k - i] = static_cast<char>(text[k]);
      i = end;
      continue;
    }
    const char16_t unit = text[i++];
    char32_t cp = unit;
    if (unit >= 0xD800 && unit <= 0xDBFF && i < text.size() && text[i] >= 0xDC00 &&
        text[i] <= 0xDFFF) {
      cp = 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (char32_t{text[i++]} - 0xDC00);
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      cp = kReplacement;
    }
    AppendCodePoint(out, cp);
  }
}

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendUtf8(out, text);
  return out;
}

std::u16string FromUtf8(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    // A run of ASCII is widened unit for unit, without decoding.
    std::size_t end = pos;
    while (end < bytes.size() && static_cast<unsigned char>(bytes[end]) < 0x80) ++end;
    const std::size_t at = out.size();
    out.resize(at + (end - pos));
    for (std::size_t i = pos; i < end; ++i) out[at + i - pos] = static_cast<char16_t>(bytes[i]);
    pos = end;
    if (pos < bytes.size()) AppendUtf16(out, DecodeOne(bytes, pos));
  }
  return out;
}

bool IsValidUtf8(std::string_view bytes) {
  constexpr std::string_view kEncodedReplacement = "\xEF\xBF\xBD";
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    const std::size_t start = pos;
    if (DecodeOne(bytes, pos) == kReplacement && bytes.substr(start, 3) != kEncodedReplacement) return false;
  }
  return true;
}

}  // namespace tracewell
