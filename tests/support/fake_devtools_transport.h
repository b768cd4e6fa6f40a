#pragma once
// The browser's end of the debugging pipe in a test: keeps every command sent, and
// answers or sends events through the client as the browser would.

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "devtools/devtools_client.h"

namespace tracewell::testing {

class FakeDevToolsTransport final : public devtools::IDevToolsTransport {
 public:
  void Send(std::string message) override { sent.push_back(devtools::Json::parse(message)); }

  // The last command sent with `method`, or null.
  const devtools::Json* LastCommand(std::string_view method) const {
    for (auto it = sent.rbegin(); it != sent.rend(); ++it) {
      if ((*it)["method"] == method) return &*it;
    }
    return nullptr;
  }
  std::vector<std::string> Methods() const {
    std::vector<std::string> methods;
    for (const auto& command : sent) methods.push_back(command["method"]);
    return methods;
  }

  std::vector<devtools::Json> sent;
};

// The browser's reply to `command` with `result`.
inline std::string ReplyTo(const devtools::Json& command, const devtools::Json& result) {
  devtools::Json reply{{"id", command["id"]}, {"result", result}};
  if (command.contains("sessionId")) reply["sessionId"] = command["sessionId"];
  return reply.dump();
}

inline std::string EventText(std::string_view method, const devtools::Json& params,
                             std::string_view sessionId) {
  devtools::Json event{{"method", method}, {"params", params}};
  if (!sessionId.empty()) event["sessionId"] = sessionId;
  return event.dump();
}

}  // namespace tracewell::testing
