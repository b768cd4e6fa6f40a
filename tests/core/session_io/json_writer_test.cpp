// The streaming JSON writer writes what a parsed document's dump() would: the same
// escapes, commas and numbers, so that exports keep their bytes.

#include "session_io/json_writer.h"

#include <gtest/gtest.h>

#include <limits>
#include <nlohmann/json.hpp>

namespace tracewell {
namespace {

TEST(JsonWriter, EscapesEveryCharacterAsDumpDoes) {
  std::string every;
  for (int c = 1; c < 0x80; ++c) every += static_cast<char>(c);
  every += "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";  // é € 😀 stay as they are
  std::string out;
  CJsonWriter(out).String(every);
  EXPECT_EQ(out, nlohmann::json(every).dump());
  out.clear();
  CJsonWriter(out).String(std::u16string(u"a\u00E9\xD800z"));  // an unpaired surrogate
  EXPECT_EQ(out, "\"a\xC3\xA9\xEF\xBF\xBDz\"");
}

TEST(JsonWriter, NestsContainersWithTheirCommas) {
  std::string out;
  CJsonWriter json(out);
  json.BeginObject().Member("a", 1).Key("list").BeginArray();
  json.BeginObject().EndObject().BeginArray().EndArray().Number(std::numeric_limits<std::int64_t>::min());
  json.Unsigned(std::numeric_limits<std::uint64_t>::max()).EndArray();
  json.Key("empty").BeginObject().EndObject().Member("k\"ey", u"v").EndObject();
  const nlohmann::ordered_json expected = {
      {"a", 1},
      {"list", {nlohmann::ordered_json::object(), nlohmann::ordered_json::array(),
                std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::uint64_t>::max()}},
      {"empty", nlohmann::ordered_json::object()},
      {"k\"ey", "v"}};
  EXPECT_EQ(out, expected.dump());
}

}  // namespace
}  // namespace tracewell
