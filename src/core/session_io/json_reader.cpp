#include "session_io/json_reader.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

namespace tracewell {
namespace {

constexpr std::size_t kChunk = 256 * 1024;
constexpr int kEnd = -1;

struct JsonSyntaxError {
  std::string what;
  std::uint64_t offset;  // of the byte it is about; the text's length at its end
};

// Bytes a string may hold as they are: printable ASCII but the quote and backslash.
constexpr std::array<bool, 256> kPlainStringBytes = [] {
  std::array<bool, 256> plain{};
  for (int byte = 0x20; byte < 0x80; ++byte) plain[static_cast<std::size_t>(byte)] = byte != '"' && byte != '\\';
  return plain;
}();

bool IsDigit(int c) { return c >= '0' && c <= '9'; }

int HexValue(int c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void AppendUtf8(std::string& text, std::uint32_t code) {
  if (code < 0x80) {
    text += static_cast<char>(code);
  } else if (code < 0x800) {
    text += static_cast<char>(0xC0 | (code >> 6));
    text += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    text += static_cast<char>(0xE0 | (code >> 12));
    text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    text += static_cast<char>(0xF0 | (code >> 18));
    text += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// Whether a number's magnitude is at least one: its digits before the point (leading
// zeros aside) plus its exponent. A double out of range is then an overflow, else an
// underflow to zero.
bool IsLarge(std::string_view number) {
  const std::size_t exponentAt = number.find_first_of("eE");
  const std::string_view mantissa = number.substr(0, exponentAt);
  long long order = 0;
  bool leading = true;
  for (const char c : mantissa) {
    if (c == '.') break;
    if (c == '-' || (leading && c == '0')) continue;
    leading = false;
    ++order;
  }
  if (exponentAt != std::string_view::npos) {
    long long exponent = 0;
    const std::string_view digits = number.substr(exponentAt + 1);
    const bool negative = digits.starts_with('-');
    for (const char c : digits) {
      if (IsDigit(c)) exponent = std::min<long long>(exponent * 10 + (c - '0'), 1'000'000'000);
    }
    order += negative ? -exponent : exponent;
  }
  return order > 0;
}

class CJsonReader {
 public:
  CJsonReader(IByteSource& source, IJsonHandler& handler) : m_source(source), m_handler(handler), m_buffer(kChunk) {}

  // Nothing when the text was read whole, else where and why it stopped.
  std::optional<std::string> Read() {
    try {
      ReadText();
    } catch (const JsonSyntaxError& error) {
      const std::uint64_t column = error.offset - std::min(error.offset, m_lineStart) + 1;
      return "parse error at line " + std::to_string(m_line) + ", column " + std::to_string(column) + ": " +
             error.what;
    }
    return std::nullopt;
  }

 private:
  void ReadText() {
    ReadValue();
    while (!m_open.empty()) {
      const bool object = m_open.back() == '{';
      const int c = SkipSpace();
      if (c == ',') {
        Advance();
        if (object) ReadKey();
        ReadValue();
      } else if (c == (object ? '}' : ']')) {
        Advance();
        m_open.pop_back();
        if (object) {
          m_handler.OnEndObject();
        } else {
          m_handler.OnEndArray();
        }
      } else {
        Fail(object ? "expected ',' or '}' after a member's value" : "expected ',' or ']' after an element");
      }
    }
    if (SkipSpace() != kEnd) Fail("unexpected character after the JSON value");
  }

  std::uint64_t Offset() const { return m_before + static_cast<std::uint64_t>(m_at - m_buffer.data()); }

  [[noreturn]] void Fail(std::string what) const { throw JsonSyntaxError{std::move(what), Offset()}; }

  // The next byte, reading on where the buffer ends; kEnd at the end of the text.
  int Peek() {
    if (m_at == m_end && !Refill()) return kEnd;
    return static_cast<unsigned char>(*m_at);
  }
  void Advance() { ++m_at; }
  int Next() {
    const int c = Peek();
    if (c != kEnd) Advance();
    return c;
  }

  bool Refill() {
    m_before += static_cast<std::uint64_t>(m_end - m_buffer.data());
    const std::size_t count = m_source.Read(m_buffer.data(), m_buffer.size());
    m_at = m_buffer.data();
    m_end = m_at + count;
    return count > 0;
  }

  // Skips white space, counting lines; the byte after it.
  int SkipSpace() {
    for (;;) {
      const int c = Peek();
      if (c == '\n') {
        ++m_line;
        m_lineStart = Offset() + 1;
      } else if (c != ' ' && c != '\t' && c != '\r') {
        return c;
      }
      Advance();
    }
  }

  void Expect(char wanted, const char* what) {
    if (SkipSpace() != wanted) Fail(what);
    Advance();
  }

  void ReadKey() {
    if (SkipSpace() != '"') Fail("expected a member name in quotes");
    Advance();
    ReadString();
    m_handler.OnKey(m_text);
    Expect(':', "expected ':' after a member name");
  }

  // A value; an object or array is opened, and its first member or element read up
  // to its value, which the caller's loop reads on.
  void ReadValue() {
    for (;;) {
      const int c = SkipSpace();
      switch (c) {
        case '{':
          Open('{');
          Advance();
          m_handler.OnStartObject();
          if (SkipSpace() == '}') {
            Advance();
            m_open.pop_back();
            m_handler.OnEndObject();
            return;
          }
          ReadKey();
          continue;
        case '[':
          Open('[');
          Advance();
          m_handler.OnStartArray();
          if (SkipSpace() == ']') {
            Advance();
            m_open.pop_back();
            m_handler.OnEndArray();
            return;
          }
          continue;
        case '"':
          Advance();
          ReadString();
          m_handler.OnString(m_text);
          return;
        case 't': return ReadLiteral("true", [this] { m_handler.OnBoolean(true); });
        case 'f': return ReadLiteral("false", [this] { m_handler.OnBoolean(false); });
        case 'n': return ReadLiteral("null", [this] { m_handler.OnNull(); });
        case kEnd: Fail("unexpected end of input; expected a value");
        default:
          if (c == '-' || IsDigit(c)) return ReadNumber();
          Fail("unexpected character; expected a value");
      }
    }
  }

  void Open(char bracket) {
    if (m_open.size() >= kMostJsonNesting) Fail("more than " + std::to_string(kMostJsonNesting) + " nested objects and arrays");
    m_open.push_back(bracket);
  }

  template <typename Report>
  void ReadLiteral(std::string_view word, Report report) {
    for (const char c : word) {
      if (Peek() != static_cast<unsigned char>(c)) Fail("invalid literal");
      Advance();
    }
    report();
  }

  // A string's bytes after its opening quote, to its closing one, into m_text.
  void ReadString() {
    m_text.clear();
    for (;;) {
      const char* run = m_at;
      while (run < m_end && kPlainStringBytes[static_cast<unsigned char>(*run)]) ++run;
      m_text.append(m_at, run);
      m_at = run;
      const int c = Peek();
      if (c == '"') {
        Advance();
        return;
      }
      if (c == '\\') {
        Advance();
        ReadEscape();
      } else if (c == kEnd) {
        Fail("unexpected end of input in a string");
      } else if (c < 0x20) {
        Fail("control character in a string; it must be escaped");
      } else if (c >= 0x80) {
        ReadUtf8Sequence(c);
      }
    }
  }

  // A multi-byte UTF-8 sequence starting with `lead`, checked as RFC 3629 has it: no
  // overlong forms, no surrogates, nothing past U+10FFFF.
  void ReadUtf8Sequence(int lead) {
    int length = 0;
    int low = 0x80, high = 0xBF;  // the second byte's range
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      Fail("ill-formed UTF-8 byte in a string");
    }
    m_text += static_cast<char>(lead);
    Advance();
    for (int i = 1; i < length; ++i) {
      const int c = Peek();
      if (c < (i == 1 ? low : 0x80) || c > (i == 1 ? high : 0xBF)) Fail("ill-formed UTF-8 byte in a string");
      m_text += static_cast<char>(c);
      Advance();
    }
  }

  void ReadEscape() {
    const int c = Peek();
    switch (c) {
      case '"': case '\\': case '/': m_text += static_cast<char>(c); break;
      case 'b': m_text += '\b'; break;
      case 'f': m_text += '\f'; break;
      case 'n': m_text += '\n'; break;
      case 'r': m_text += '\r'; break;
      case 't': m_text += '\t'; break;
      case 'u': {
        Advance();
        std::uint32_t code = ReadHex4();
        if (code >= 0xDC00 && code <= 0xDFFF) Fail("a low surrogate \\u escape without a high one before it");
        if (code >= 0xD800 && code <= 0xDBFF) {
          for (const char wanted : {'\\', 'u'}) {
            if (Peek() != wanted) Fail("a high surrogate \\u escape without a low one after it");
            Advance();
          }
          const std::uint32_t second = ReadHex4();
          if (second < 0xDC00 || second > 0xDFFF) Fail("a high surrogate \\u escape without a low one after it");
          code = 0x10000 + ((code - 0xD800) << 10) + (second - 0xDC00);
        }
        AppendUtf8(m_text, code);
        return;
      }
      default: Fail("invalid escape in a string");
    }
    Advance();
  }

  std::uint32_t ReadHex4() {
    std::uint32_t code = 0;
    for (int i = 0; i < 4; ++i) {
      const int digit = HexValue(Peek());
      if (digit < 0) Fail("\\u must be followed by four hex digits");
      code = code * 16 + static_cast<std::uint32_t>(digit);
      Advance();
    }
    return code;
  }

  // -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)? into m_number.
  void ReadNumber() {
    m_number.clear();
    const std::uint64_t start = Offset();
    const auto take = [this] { m_number += static_cast<char>(Next()); };
    const auto digits = [&] {
      if (!IsDigit(Peek())) Fail("invalid number: a digit is missing");
      while (IsDigit(Peek())) take();
    };
    if (Peek() == '-') take();
    if (Peek() == '0') {
      take();
    } else {
      digits();
    }
    bool integer = true;
    if (Peek() == '.') {
      take();
      digits();
      integer = false;
    }
    if (Peek() == 'e' || Peek() == 'E') {
      take();
      if (Peek() == '+' || Peek() == '-') take();
      digits();
      integer = false;
    }
    const char* first = m_number.data();
    const char* last = first + m_number.size();
    if (integer) {
      if (m_number[0] == '-') {
        std::int64_t value = 0;
        if (std::from_chars(first, last, value).ec == std::errc()) return m_handler.OnInteger(value);
      } else {
        std::uint64_t value = 0;
        if (std::from_chars(first, last, value).ec == std::errc()) return m_handler.OnUnsigned(value);
      }
    }
    double value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error == std::errc::result_out_of_range) {
      if (IsLarge(m_number)) throw JsonSyntaxError{"number overflow parsing '" + m_number + "'", start};
      value = m_number[0] == '-' ? -0.0 : 0.0;
    }
    m_handler.OnFloat(value, m_number);
  }

  IByteSource& m_source;
  IJsonHandler& m_handler;
  std::vector<char> m_buffer;
  const char* m_at = m_buffer.data();
  const char* m_end = m_buffer.data();
  std::uint64_t m_before = 0;  // bytes of the text before the buffer's
  std::string m_text;          // the string being read
  std::string m_number;        // the number being read
  std::vector<char> m_open;    // '{' or '[' for each object and array open, innermost last
  std::uint64_t m_line = 1;
  std::uint64_t m_lineStart = 0;  // the offset of the line's first byte
};

}  // namespace

std::optional<std::string> ReadJson(IByteSource& source, IJsonHandler& handler) {
  return CJsonReader(source, handler).Read();
}

}  // namespace tracewell
