#pragma once
// The debugging pipe's sending end for tests: keeps every command sent, read back
// as JSON.

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "devtools/devtools_client.h"

namespace tracewell::testing {

class FakeTransport final : public devtools::IDevToolsTransport {
 public:
  std::vector<nlohmann::json> sent;

  void Send(std::string message) override { sent.push_back(nlohmann::json::parse(message)); }
};

}  // namespace tracewell::testing
