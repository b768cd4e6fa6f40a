#pragma once
// A streaming JSON reader: JSON text (RFC 8259) from a byte source is handed to a
// handler value by value as it is read, with no document tree, so that a file of any
// size is read in the memory of its largest string. Strings arrive with their escapes
// decoded and checked to be well-formed UTF-8; numbers arrive as the integer or the
// double they are, a double with the text it was written as. The first fault stops
// the reading and says where it is (line and column, counting bytes from 1) and what
// it is. The handler may throw to stop the reading; the reader lets it pass.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "session_io/byte_stream.h"

namespace tracewell {

class IJsonHandler {
 public:
  virtual ~IJsonHandler() = default;
  virtual void OnNull() = 0;
  virtual void OnBoolean(bool value) = 0;
  // An integer below zero.
  virtual void OnInteger(std::int64_t value) = 0;
  // An integer from zero up.
  virtual void OnUnsigned(std::uint64_t value) = 0;
  // A number with a fraction or an exponent, or an integer beyond 64 bits.
  virtual void OnFloat(double value, std::string_view text) = 0;
  // The views last until the next call.
  virtual void OnString(std::string_view value) = 0;
  virtual void OnKey(std::string_view name) = 0;
  virtual void OnStartObject() = 0;
  virtual void OnEndObject() = 0;
  virtual void OnStartArray() = 0;
  virtual void OnEndArray() = 0;
};

// Objects and arrays open at once, at most: beyond, the text is refused rather than
// followed into ever more memory.
inline constexpr std::size_t kMostJsonNesting = 10'000;

// Reads one JSON value, with nothing but white space around it. Nothing when the text
// was read whole, else "parse error at line L, column C: what".
std::optional<std::string> ReadJson(IByteSource& source, IJsonHandler& handler);

}  // namespace tracewell
