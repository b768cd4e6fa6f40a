#include "text/code_page.h"

#include <array>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tracewell {
namespace {

// Bytes 0x80..0x9F; the rest of the code page is identical to Latin-1.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t ByteToUnit(unsigned char byte) {
  return (byte >= 0x80 && byte < 0xA0) ? kHighControls[byte - 0x80u] : char16_t{byte};
}

constexpr char kDefaultChar = '?';

// The byte for a code unit, or kDefaultChar when the code page has none.
char UnitToByte(char16_t unit) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<char>(unit);
  for (unsigned i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == unit) return static_cast<char>(0x80 + i);
  }
  return kDefaultChar;
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Widens `count` bytes to code units one for one and says whether any byte had its
// high bit set: headers and URLs are long runs of ASCII, widened 16 bytes a step
// where the processor can.
bool WidenBytes(const unsigned char* bytes, std::size_t count, char16_t* units) {
  std::size_t i = 0;
  unsigned high = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  for (; i + 16 <= count; i += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
    high |= static_cast<unsigned>(_mm_movemask_epi8(block));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(units + i), _mm_unpacklo_epi8(block, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(units + i + 8), _mm_unpackhi_epi8(block, zero));
  }
#endif
  for (; i < count; ++i) {
    units[i] = bytes[i];
    high |= bytes[i] & 0x80u;
  }
  return high != 0;
}

}  // namespace

std::u16string FromCodePage(std::string_view bytes) {
  // Only 0x80..0x9F differ from Latin-1, and they are rare in headers and URLs: they
  // are fixed up after the plain widening, when a byte had its high bit set at all.
  const auto* first = reinterpret_cast<const unsigned char*>(bytes.data());
  std::u16string text(bytes.size(), u'\0');
  if (WidenBytes(first, bytes.size(), text.data())) {
    for (std::size_t i = 0; i < bytes.size(); ++i) text[i] = ByteToUnit(first[i]);
  }
  return text;
}

std::u16string FromCodePageUntilNul(std::string_view bytes) {
  return FromCodePage(bytes.substr(0, bytes.find('\0')));
}

void AppendCodePage(std::string& out, std::u16string_view text) {
  const std::size_t start = out.size();
  out.resize(start + text.size());
  char* dest = out.data() + start;
  bool allAscii = true;
  for (std::size_t i = 0; i < text.size(); ++i) {
    dest[i] = static_cast<char>(text[i]);
    allAscii &= text[i] < 0x80;
  }
  if (allAscii) return;

  std::size_t written = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) ++i;
    dest[written++] = UnitToByte(unit);
  }
  out.resize(start + written);
}

std::string ToCodePage(std::u16string_view text) {
  std::string out;
  AppendCodePage(out, text);
  return out;
}

}  // namespace tracewell
