#include "bodies/body_text.h"

#include <array>
#include <nlohmann/json.hpp>

#include "http_text/splitting.h"
#include "text/code_page.h"
#include "text/utf8.h"

namespace tracewell {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";
// Labels that browsers decode as windows-1252.
constexpr std::array<std::u16string_view, 9> kWindows1252Labels = {
    u"windows-1252", u"cp1252",  u"x-cp1252", u"iso-8859-1", u"iso8859-1",
    u"latin1",       u"l1",      u"us-ascii", u"ascii"};

// The charset parameter of a Content-Type, lowercase and unquoted.
std::u16string CharsetOf(std::u16string_view contentType) {
  std::u16string charset;
  bool first = true;
  ForEachPiece(contentType, u";", [&](std::u16string_view piece) {
    if (std::exchange(first, false)) return;
    const auto parameter = SplitAtFirst(piece, u'=');
    if (parameter && EqualsIgnoringCase(Trim(parameter->name), u"charset")) {
      std::u16string_view value = Trim(parameter->value);
      if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"') {
        value = value.substr(1, value.size() - 2);
      }
      charset = AsciiLowercase(value);
    }
  });
  return charset;
}

std::u16string FromUtf16(std::string_view bytes, bool bigEndian) {
  std::u16string text;
  text.reserve(bytes.size() / 2 + 1);
  for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
    const auto first = static_cast<unsigned char>(bytes[at]);
    const auto second = static_cast<unsigned char>(bytes[at + 1]);
    text += static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
  }
  if (bytes.size() % 2 != 0) text += u'\uFFFD';  // half a code unit at the end
  return text;
}

BodyTextDecoding Utf8Text(std::string_view bytes) { return {FromUtf8(bytes), u"UTF-8"}; }
BodyTextDecoding Utf16Text(std::string_view bytes, bool bigEndian) {
  return {FromUtf16(bytes, bigEndian), bigEndian ? u"UTF-16BE" : u"UTF-16LE"};
}
BodyTextDecoding Windows1252Text(std::string_view bytes) { return {FromCodePage(bytes), u"windows-1252"}; }

// JSON's nesting depth, counting brackets outside strings, stopping past `limit`: the
// parser recurses once per level.
bool NestsWithin(std::string_view json, int limit) {
  int depth = 0;
  bool inString = false;
  for (std::size_t at = 0; at < json.size(); ++at) {
    const char c = json[at];
    if (inString) {
      if (c == '\\') ++at;
      if (c == '"') inString = false;
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > limit) return false;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return true;
}

}  // namespace

std::u16string MediaType(std::u16string_view contentType) {
  return AsciiLowercase(Trim(contentType.substr(0, contentType.find(u';'))));
}

BodyTextDecoding DecodeBodyText(std::string_view bytes, std::u16string_view contentType) {
  if (bytes.starts_with(kUtf8Bom)) return Utf8Text(bytes.substr(kUtf8Bom.size()));
  if (bytes.starts_with(kUtf16LeBom)) return Utf16Text(bytes.substr(2), false);
  if (bytes.starts_with(kUtf16BeBom)) return Utf16Text(bytes.substr(2), true);
  const std::u16string charset = CharsetOf(contentType);
  if (charset == u"utf-8" || charset == u"utf8") return Utf8Text(bytes);
  if (charset == u"utf-16be") return Utf16Text(bytes, true);
  if (charset == u"utf-16" || charset == u"utf-16le") return Utf16Text(bytes, false);
  for (const auto label : kWindows1252Labels) {
    if (charset == label) return Windows1252Text(bytes);
  }
  return IsValidUtf8(bytes) ? Utf8Text(bytes) : Windows1252Text(bytes);
}

bool HasImageSignature(std::string_view bytes) {
  return bytes.starts_with("\x89PNG\r\n\x1A\n") || bytes.starts_with("\xFF\xD8\xFF") ||
         bytes.starts_with("GIF87a") || bytes.starts_with("GIF89a") ||
         (bytes.starts_with("RIFF") && bytes.size() >= 12 && bytes.substr(8, 4) == "WEBP") || bytes.starts_with("BM") ||
         bytes.starts_with(std::string_view("\0\0\1\0", 4));
}

std::optional<std::u16string> PrettyJson(std::u16string_view text) {
  constexpr int kDeepest = 256;
  const std::string utf8 = ToUtf8(text);
  if (!NestsWithin(utf8, kDeepest)) return std::nullopt;
  const auto json = nlohmann::ordered_json::parse(utf8, nullptr, false);
  if (json.is_discarded()) return std::nullopt;
  return FromUtf8(json.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace));
}

std::u16string HexDump(std::string_view bytes) {
  constexpr std::string_view kDigits = "0123456789abcdef";
  std::string dump;
  dump.reserve((bytes.size() / 16 + 1) * 79);
  for (std::size_t line = 0; line < bytes.size(); line += 16) {
    for (int shift = 28; shift >= 0; shift -= 4) dump += kDigits[(line >> shift) & 0xF];
    dump += "  ";
    std::string ascii;
    for (std::size_t i = 0; i < 16; ++i) {
      if (i == 8) dump += ' ';
      if (line + i >= bytes.size()) {
        dump += "   ";
        continue;
      }
      const auto byte = static_cast<unsigned char>(bytes[line + i]);
      dump += kDigits[byte >> 4];
      dump += kDigits[byte & 0xF];
      dump += ' ';
      ascii += byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : '.';
    }
    dump += " |" + ascii + "|\n";
  }
  return FromCodePage(dump);
}

}  // namespace tracewell
