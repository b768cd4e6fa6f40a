#pragma once
// One message of the browser's debugging pipe: a command's reply (an id with a result
// or an error) or an event (a method with its parameters), either of them for the
// browser itself or for one attached target's session.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include <nlohmann/json.hpp>

namespace tracewell::devtools {

// The protocol's JSON. Objects keep their members sorted by name: the browser reports
// the header fields it sent sorted by name already, so no order is lost that it gave,
// and the sorted map costs half the allocations of an ordered one.
using Json = nlohmann::json;

// The longest message read: a response body or a whole document can be large, but a
// message beyond this is not one the program asked for.
inline constexpr std::size_t kMaxMessageBytes = std::size_t{256} << 20;
// The deepest nesting of objects and arrays accepted (a document tree is deep).
inline constexpr int kMaxMessageDepth = 1024;

struct DevToolsMessage {
  std::optional<std::int64_t> id;       // set on replies
  std::string method;                   // set on events
  std::string sessionId;                // empty: the browser's own session
  Json params;                // an event's parameters (an object)
  Json result;                // a reply's result (an object)
  std::optional<std::string> error;     // a failed command's message

  bool IsEvent() const { return !id.has_value(); }
};

// True when `text`, read as JSON, nests objects and arrays no deeper than `limit`
// (strings skipped); checked before parsing text from the browser or a page.
bool WithinNestingLimit(std::string_view text, int limit);

// The string member `name` of `object`, or null when it is missing or not a string.
const std::string* StringMember(const Json& object, const char* name);

// Reads one message (the text between two NUL bytes); the reason when it is not a
// well-formed message.
std::variant<DevToolsMessage, std::string> ReadDevToolsMessage(std::string_view text);

// The text of one command (without its closing NUL).
std::string WriteDevToolsCommand(std::int64_t id, std::string_view method,
                                 const Json& params, std::string_view sessionId);

}  // namespace tracewell::devtools
