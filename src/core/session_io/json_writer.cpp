#include "session_io/json_writer.h"

#include <charconv>

#include "text/utf8.h"

namespace tracewell {
namespace {

template <typename Integer>
void AppendDecimal(std::string& out, Integer value) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  out.append(digits, end);
}

}  // namespace

void CJsonWriter::Separate() {
  if (m_afterKey) {
    m_afterKey = false;
  } else if (!m_first) {
    m_out += ',';
  }
  m_first = false;
}

CJsonWriter& CJsonWriter::Open(char bracket) {
  Separate();
  m_out += bracket;
  m_first = true;
  return *this;
}

CJsonWriter& CJsonWriter::Close(char bracket) {
  m_out += bracket;
  m_first = false;
  return *this;
}

CJsonWriter& CJsonWriter::Key(std::string_view key) {
  Separate();
  m_out += '"';
  AppendEscaped(key);
  m_out += "\":";
  m_afterKey = true;
  return *this;
}

CJsonWriter& CJsonWriter::String(std::string_view utf8) {
  Separate();
  m_out += '"';
  AppendEscaped(utf8);
  m_out += '"';
  return *this;
}

CJsonWriter& CJsonWriter::String(std::u16string_view text) {
  m_utf8.clear();
  AppendUtf8(m_utf8, text);
  return String(std::string_view(m_utf8));
}

CJsonWriter& CJsonWriter::Number(std::int64_t value) {
  Separate();
  AppendDecimal(m_out, value);
  return *this;
}

CJsonWriter& CJsonWriter::Unsigned(std::uint64_t value) {
  Separate();
  AppendDecimal(m_out, value);
  return *this;
}

void CJsonWriter::AppendEscaped(std::string_view utf8) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::size_t plain = 0;  // the start of the run not yet copied
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (c >= 0x20 && c != '"' && c != '\\') continue;
    m_out.append(utf8.substr(plain, i - plain));
    plain = i + 1;
    switch (c) {
      case '"': m_out += "\\\""; break;
      case '\\': m_out += "\\\\"; break;
      case '\b': m_out += "\\b"; break;
      case '\f': m_out += "\\f"; break;
      case '\n': m_out += "\\n"; break;
      case '\r': m_out += "\\r"; break;
      case '\t': m_out += "\\t"; break;
      default:
        m_out += "\\u00";
        m_out += kHex[c >> 4];
        m_out += kHex[c & 0xF];
    }
  }
  m_out.append(utf8.substr(plain));
}

}  // namespace tracewell
