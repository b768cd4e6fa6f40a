#pragma once
// Builds the document that a streaming JSON reader's values describe, so that a test
// can hold it against a whole-document parser's reading of the same text.

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "session_io/json_reader.h"

namespace tracewell::testing {

class JsonDocumentBuilder final : public IJsonHandler {
 public:
  using Json = nlohmann::json;

  void OnNull() override { Add(nullptr); }
  void OnBoolean(bool value) override { Add(value); }
  void OnInteger(std::int64_t value) override { Add(value); }
  void OnUnsigned(std::uint64_t value) override { Add(value); }
  void OnFloat(double value, std::string_view text) override {
    floatTexts.emplace_back(text);
    Add(value);
  }
  void OnString(std::string_view value) override { Add(std::string(value)); }
  void OnKey(std::string_view name) override { m_key = name; }
  void OnStartObject() override { m_open.push_back(Add(Json::object())); }
  void OnStartArray() override { m_open.push_back(Add(Json::array())); }
  void OnEndObject() override { m_open.pop_back(); }
  void OnEndArray() override { m_open.pop_back(); }

  Json document;
  std::vector<std::string> floatTexts;  // the floats as written

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

}  // namespace tracewell::testing
