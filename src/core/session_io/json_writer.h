#pragma once
// JSON written straight into a buffer as it is produced, compact and escaped the way
// nlohmann::json's dump() writes it (no spaces; quote, backslash and control
// characters escaped, the rest of UTF-8 as it is), without a document tree first: a
// large export builds no nodes at all.

#include <cstdint>
#include <string>
#include <string_view>

namespace tracewell {

class CJsonWriter {
 public:
  explicit CJsonWriter(std::string& out) : m_out(out) {}

  CJsonWriter& BeginObject() { return Open('{'); }
  CJsonWriter& EndObject() { return Close('}'); }
  CJsonWriter& BeginArray() { return Open('['); }
  CJsonWriter& EndArray() { return Close(']'); }
  // The next value is this member's.
  CJsonWriter& Key(std::string_view key);

  CJsonWriter& String(std::string_view utf8);
  // Converted to UTF-8 first; an unpaired surrogate becomes U+FFFD.
  CJsonWriter& String(std::u16string_view text);
  CJsonWriter& Number(std::int64_t value);
  CJsonWriter& Unsigned(std::uint64_t value);

  // Shorthands for a member: Key(key) and its value.
  template <typename T>
  CJsonWriter& Member(std::string_view key, const T& value) {
    Key(key);
    return Value(value);
  }

 private:
  CJsonWriter& Value(std::string_view utf8) { return String(utf8); }
  CJsonWriter& Value(const std::string& utf8) { return String(utf8); }
  CJsonWriter& Value(const char* utf8) { return String(std::string_view(utf8)); }
  CJsonWriter& Value(std::u16string_view text) { return String(text); }
  CJsonWriter& Value(const char16_t* text) { return String(std::u16string_view(text)); }
  CJsonWriter& Value(const std::u16string& text) { return String(std::u16string_view(text)); }
  CJsonWriter& Value(std::int64_t value) { return Number(value); }
  CJsonWriter& Value(std::int32_t value) { return Number(value); }
  CJsonWriter& Value(std::uint32_t value) { return Unsigned(value); }
  CJsonWriter& Value(std::uint64_t value) { return Unsigned(value); }

  // A comma before every item of a container but its first.
  void Separate();
  CJsonWriter& Open(char bracket);
  CJsonWriter& Close(char bracket);
  void AppendEscaped(std::string_view utf8);

  std::string& m_out;
  std::string m_utf8;  // a converted text, reused
  bool m_first = true;  // the next item is the first of its container
  bool m_afterKey = false;
};

}  // namespace tracewell
