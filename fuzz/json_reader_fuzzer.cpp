// Arbitrary bytes into the streaming JSON reader, held against a whole-document parser:
// both accept the same texts (nesting within the reader's bound), and what the reader
// hands over builds the very document the other parser reads. That parser takes a
// zero byte for the end of its input, so texts with one are only read.

#include <cstdint>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <vector>

#include "session_io/json_reader.h"
#include "support/json_document_builder.h"

namespace {

using namespace tracewell;
using Json = nlohmann::json;

// How deep the text's brackets go, strings aside.
std::size_t Nesting(std::string_view text) {
  std::size_t depth = 0, deepest = 0;
  bool inString = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (inString) {
      if (c == '\\') ++i;
      if (c == '"') inString = false;
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      deepest = std::max(deepest, ++depth);
    } else if ((c == ']' || c == '}') && depth > 0) {
      --depth;
    }
  }
  return deepest;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (Nesting(text) > kMostJsonNesting) return 0;
  testing::JsonDocumentBuilder builder;
  MemoryByteSource source(text);
  const bool read = !ReadJson(source, builder).has_value();
  if (text.find('\0') != std::string_view::npos) return 0;
  const bool accepted = Json::accept(text);
  if (read != accepted) std::abort();
  if (read && builder.document != Json::parse(text)) std::abort();
  return 0;
}
