// Arbitrary bytes into the streaming JSON reader, held against a whole-document parser:
// both accept the same texts (nesting within the reader's bound), and what the reader
// hands over builds the very document the other parser reads.

#include <cstdint>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <vector>

#include "session_io/json_reader.h"

namespace {

using namespace tracewell;
using Json = nlohmann::json;

class DocumentBuilder final : public IJsonHandler {
 public:
  void OnNull() override { Add(nullptr); }
  void OnBoolean(bool value) override { Add(value); }
  void OnInteger(std::int64_t value) override { Add(value); }
  void OnUnsigned(std::uint64_t value) override { Add(value); }
  void OnFloat(double value, std::string_view) override { Add(value); }
  void OnString(std::string_view value) override { Add(std::string(value)); }
  void OnKey(std::string_view name) override { m_key = name; }
  void OnStartObject() override { m_open.push_back(Add(Json::object())); }
  void OnStartArray() override { m_open.push_back(Add(Json::array())); }
  void OnEndObject() override { m_open.pop_back(); }
  void OnEndArray() override { m_open.pop_back(); }

  Json document;

 private:
  Json* Add(Json value) {
    if (m_open.empty()) return &(document = std::move(value));
    Json& parent = *m_open.back();
    if (parent.is_object()) return &(parent[m_key] = std::move(value));
    parent.push_back(std::move(value));
    return &parent.back();
  }

  std::vector<Json*> m_open;
  std::string m_key;
};

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
  DocumentBuilder builder;
  MemoryByteSource source(text);
  const bool read = !ReadJson(source, builder).has_value();
  const bool accepted = Json::accept(text);
  if (read != accepted) std::abort();
  if (read && builder.document != Json::parse(text)) std::abort();
  return 0;
}
