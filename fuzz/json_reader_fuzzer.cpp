// Arbitrary bytes into the streaming JSON reader, held against a whole-document parser:
// both accept the same texts (nesting within the reader's bound), and what the reader
// hands over builds the very document the other parser reads. That parser takes a
// zero byte for the end of its input, so texts with one are only read.

#include <cstdint>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "session_io/json_reader.h"
#include "support/json_document_builder.h"

using namespace tracewell;
using Json = nlohmann::json;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (!JsonNestsWithin(text, kMostJsonNesting)) return 0;
  testing::JsonDocumentBuilder builder;
  MemoryByteSource source(text);
  const bool read = !ReadJson(source, builder).has_value();
  if (text.find('\0') != std::string_view::npos) return 0;
  const bool accepted = Json::accept(text);
  if (read != accepted) std::abort();
  if (read && builder.document != Json::parse(text)) std::abort();
  return 0;
}
