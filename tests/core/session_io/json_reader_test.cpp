#include "session_io/json_reader.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <vector>

#include "support/json_document_builder.h"

namespace tracewell {
namespace {

using Json = nlohmann::json;
using testing::JsonDocumentBuilder;

// Hands its data over one byte per read, so that every value crosses the reader's
// refills.
class TrickleSource final : public IByteSource {
 public:
  explicit TrickleSource(std::string_view data) : m_data(data) {}
  std::size_t Read(char* dest, std::size_t count) override {
    if (count == 0 || m_at == m_data.size()) return 0;
    *dest = m_data[m_at++];
    return 1;
  }
  std::uint64_t Remaining() const override { return m_data.size() - m_at; }
  bool Failed() const override { return false; }

 private:
  std::string_view m_data;
  std::size_t m_at = 0;
};

std::optional<std::string> Refusal(std::string_view text) {
  JsonDocumentBuilder builder;
  MemoryByteSource source(text);
  return ReadJson(source, builder);
}

TEST(JsonReader, ReadsWhatAWholeDocumentParserReadsInOnePieceOrByteByByte) {
  const std::string documents[] = {
      R"({"a":[1,-2,3.5,-0.25e-3,1E+2,0,-0,true,false,null,"",{},[]],"b":{"c":{"d":[[["deep"]]]}}})",
      R"(["\"\\\/\b\f\n\r\t", "\u00e9\u20AC\ud83d\ude00", "a\u0000b", "caf)" "\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\"]",
      "  \n\t{ \"spaced\" :\r\n [ 1 , 2 ] , \"k\\u0041y\" : \"v\" }\n  ",
      R"([18446744073709551615, 18446744073709551616, -9223372036854775808, -9223372036854775809, 1e-400, -1e-400, 1.7976931348623157e308])",
      R"("just a string")",
      "42",
  };
  for (const std::string& text : documents) {
    SCOPED_TRACE(text);
    const Json expected = Json::parse(text);
    JsonDocumentBuilder whole;
    MemoryByteSource memory(text);
    EXPECT_EQ(ReadJson(memory, whole), std::nullopt);
    EXPECT_EQ(whole.document, expected);
    JsonDocumentBuilder trickled;
    TrickleSource trickle(text);
    EXPECT_EQ(ReadJson(trickle, trickled), std::nullopt);
    EXPECT_EQ(trickled.document, expected);
    EXPECT_EQ(trickled.floatTexts, whole.floatTexts);
  }
  JsonDocumentBuilder floats;
  MemoryByteSource source("[2.50, 1E3, 18446744073709551616]");
  ASSERT_EQ(ReadJson(source, floats), std::nullopt);
  EXPECT_EQ(floats.floatTexts, (std::vector<std::string>{"2.50", "1E3", "18446744073709551616"})) << "as written";
}

TEST(JsonReader, RefusesMalformedTextSayingWhereAndWhy) {
  const std::pair<std::string, std::string> cases[] = {
      {"{\n  \"a\": tru\n}", "line 2, column 11: invalid literal"},
      {"[1,]", "line 1, column 4: unexpected character; expected a value"},
      {"[1 2]", "line 1, column 4: expected ',' or ']' after an element"},
      {R"({"a" 1})", "line 1, column 6: expected ':' after a member name"},
      {R"({"a":1,})", "line 1, column 8: expected a member name in quotes"},
      {R"({"a":1])", "line 1, column 7: expected ',' or '}' after a member's value"},
      {"[01]", "line 1, column 3: expected ',' or ']' after an element"},
      {"[1.]", "line 1, column 4: invalid number: a digit is missing"},
      {"[-]", "line 1, column 3: invalid number: a digit is missing"},
      {"[1e+]", "line 1, column 5: invalid number: a digit is missing"},
      {"[-1e999]", "line 1, column 2: number overflow parsing '-1e999'"},
      {"\"a\tb\"", "line 1, column 3: control character in a string; it must be escaped"},
      {R"("\x")", "line 1, column 3: invalid escape in a string"},
      {R"("\u12G4")", "line 1, column 6: \\u must be followed by four hex digits"},
      {R"("\ud800x")", "line 1, column 8: a high surrogate \\u escape without a low one after it"},
      {R"("\ud800\u0041")", "line 1, column 14: a high surrogate \\u escape without a low one after it"},
      {R"("\udc00")", "line 1, column 8: a low surrogate \\u escape without a high one before it"},
      {"\"\xC0\x80\"", "line 1, column 2: ill-formed UTF-8 byte in a string"},
      {"\"\xED\xA0\x80\"", "line 1, column 3: ill-formed UTF-8 byte in a string"},
      {"\"\xF4\x90\x80\x80\"", "line 1, column 3: ill-formed UTF-8 byte in a string"},
      {"\"\xE2\x82\"", "line 1, column 4: ill-formed UTF-8 byte in a string"},
      {"\"open", "line 1, column 6: unexpected end of input in a string"},
      {"{} {}", "line 1, column 4: unexpected character after the JSON value"},
      {std::string(kMostJsonNesting + 1, '['), "line 1, column 10001: more than 10000 nested objects and arrays"},
  };
  for (const auto& [text, message] : cases) {
    SCOPED_TRACE(text.substr(0, 40));
    EXPECT_FALSE(Json::accept(text)) << "a whole-document parser refuses it too";
    EXPECT_EQ(Refusal(text), "parse error at " + message);
  }
  EXPECT_EQ(Refusal(std::string(kMostJsonNesting, '[') + std::string(kMostJsonNesting, ']')), std::nullopt);
}

}  // namespace
}  // namespace tracewell
