#include "devtools/devtools_message.h"

namespace tracewell::devtools {

bool WithinNestingLimit(std::string_view text, int limit) {
  int depth = 0;
  bool inString = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (inString) {
      if (c == '\\') ++i;
      else if (c == '"') inString = false;
      continue;
    }
    if (c == '"') inString = true;
    else if (c == '{' || c == '[') {
      if (++depth > limit) return false;
    } else if (c == '}' || c == ']') --depth;
  }
  return true;
}

const std::string* StringMember(const Json& object, const char* name) {
  const auto it = object.find(name);
  return it != object.end() && it->is_string() ? it->get_ptr<const std::string*>() : nullptr;
}

std::variant<DevToolsMessage, std::string> ReadDevToolsMessage(std::string_view text) {
  if (text.size() > kMaxMessageBytes) return std::string("message longer than the limit");
  if (!WithinNestingLimit(text, kMaxMessageDepth))
    return std::string("message nested deeper than the limit");
  Json parsed = Json::parse(text, nullptr, /*allow_exceptions=*/false);
  if (parsed.is_discarded()) return std::string("not JSON");
  if (!parsed.is_object()) return std::string("not a JSON object");

  DevToolsMessage message;
  if (const auto session = parsed.find("sessionId"); session != parsed.end()) {
    if (!session->is_string()) return std::string("sessionId is not a string");
    message.sessionId = session->get<std::string>();
  }
  if (const auto id = parsed.find("id"); id != parsed.end()) {
    if (!id->is_number_integer()) return std::string("id is not an integer");
    message.id = id->get<std::int64_t>();
    if (const auto error = parsed.find("error"); error != parsed.end()) {
      const std::string* reason = error->is_object() ? StringMember(*error, "message") : nullptr;
      message.error = reason ? *reason : error->dump();
      return message;
    }
    const auto result = parsed.find("result");
    if (result == parsed.end() || !result->is_object())
      return std::string("reply without a result object");
    message.result = std::move(*result);
    return message;
  }
  const std::string* method = StringMember(parsed, "method");
  if (!method) return std::string("neither a reply nor an event");
  message.method = *method;
  const auto params = parsed.find("params");
  if (params == parsed.end()) message.params = Json::object();
  else if (params->is_object()) message.params = std::move(*params);
  else return std::string("event parameters are not an object");
  return message;
}

std::string WriteDevToolsCommand(std::int64_t id, std::string_view method,
                                 const Json& params, std::string_view sessionId) {
  Json command{{"id", id}, {"method", method}, {"params", params}};
  if (!sessionId.empty()) command["sessionId"] = sessionId;
  return command.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace tracewell::devtools
