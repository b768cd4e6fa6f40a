#pragma once
// The DevTools network layer with everything around it for a test: a client over a
// fake pipe, the scheme bindings and capture registration, and the capture engine's
// receiving end with the fake main window. Recorded event streams (JSON lines, one
// pipe message per line) are played into the client as the pipe would deliver them.

#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "capture/capture_registration.h"
#include "capture/no_cache_store.h"
#include "capture/scheme_bindings.h"
#include "core/capture/fake_protocol.h"
#include "support/fake_devtools_transport.h"
#include "devtools/network_layer.h"

namespace tracewell::testing {

inline std::string DevToolsData(std::string_view name) {
  const std::string path = std::string(TRACEWELL_DEVTOOLS_DATA) + "/" + std::string(name);
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in) << "cannot read " << path;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

struct LayerHarness {
  FakeDevToolsTransport transport;
  devtools::CDevToolsClient client{transport};
  CSchemeBindings bindings;
  CNoCacheStore cache;
  FakeClock clock = FakeClock::Ticking();
  FakeWindow window;
  CCaptureReceiver receiver{window};
  std::shared_ptr<DirectNotifier> notifier = std::make_shared<DirectNotifier>(receiver);
  CCaptureRegistration registration{bindings, CaptureServices{clock, cache}};
  devtools::CDevToolsNetworkLayer layer{client, bindings};
  std::vector<std::string> faults;

  explicit LayerHarness(bool capturing = true) {
    client.SetEventHandler([this](const devtools::DevToolsMessage& event) { layer.OnEvent(event); });
    client.SetFaultHandler([this](std::string_view reason) { faults.emplace_back(reason); });
    layer.SetFaultHandler([this](std::string_view reason) { faults.emplace_back(reason); });
    if (capturing) {
      EXPECT_EQ(registration.StartCapture(notifier), hr::Ok);
    }
  }

  // Every line of `lines` as one message from the pipe.
  void Play(std::string_view lines) {
    std::size_t start = 0;
    while (start < lines.size()) {
      std::size_t end = lines.find('\n', start);
      if (end == std::string_view::npos) end = lines.size();
      if (end > start) client.OnMessage(lines.substr(start, end - start));
      start = end + 1;
    }
  }
  void PlayFile(std::string_view name) { Play(DevToolsData(name)); }

  const CHttpTransaction& Record(std::size_t i) const { return *window.session.at(i); }
  std::size_t Records() const { return window.session.size(); }
};

}  // namespace tracewell::testing
