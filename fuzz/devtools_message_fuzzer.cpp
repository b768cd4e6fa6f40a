// Arbitrary bytes as the debugging pipe delivers them (messages separated by NUL
// bytes) into the message reader, and through the client into the target attacher
// and the network layer with capture on. Besides crashes and leaks it checks that
// the records made are bounded by the input (a request's first event takes dozens of
// bytes) and that when the browser goes away every request has ended and every
// record is finished.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "capture/capture_registration.h"
#include "capture/no_cache_store.h"
#include "capture/scheme_bindings.h"
#include "core/capture/fake_protocol.h"
#include "support/fake_devtools_transport.h"
#include "devtools/network_layer.h"
#include "devtools/target_attacher.h"

namespace {

using namespace tracewell;

void ForEachMessage(std::string_view pipe, auto&& visit) {
  std::size_t start = 0;
  while (start <= pipe.size()) {
    std::size_t end = pipe.find('\0', start);
    if (end == std::string_view::npos) end = pipe.size();
    visit(pipe.substr(start, end - start));
    start = end + 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view pipe(reinterpret_cast<const char*>(data), size);
  ForEachMessage(pipe, [](std::string_view text) { devtools::ReadDevToolsMessage(text); });

  testing::FakeDevToolsTransport transport;
  devtools::CDevToolsClient client(transport);
  CSchemeBindings bindings;
  CNoCacheStore cache;
  testing::FakeClock clock = testing::FakeClock::Ticking();
  testing::FakeWindow window;
  CCaptureReceiver receiver(window);
  auto notifier = std::make_shared<testing::DirectNotifier>(receiver);
  CCaptureRegistration registration(bindings, CaptureServices{clock, cache});
  if (registration.StartCapture(notifier).Failed()) std::abort();
  devtools::CDevToolsNetworkLayer layer(client, bindings);
  devtools::CTargetAttacher attacher(client);
  client.SetEventHandler([&](const devtools::DevToolsMessage& event) {
    if (!attacher.OnEvent(event)) layer.OnEvent(event);
  });
  attacher.SetDetachHandler([&](std::string_view sessionId) { layer.OnSessionDetached(sessionId); });
  attacher.Start();

  ForEachMessage(pipe, [&](std::string_view text) { client.OnMessage(text); });

  // {"method":"Network.requestWillBeSent","params":{"requestId":"","request":{"url":"http:","method":""}}}
  constexpr std::size_t kSmallestRequest = 90;
  if (window.session.size() * kSmallestRequest > size) std::abort();

  client.OnClosed();
  layer.OnBrowserClosed();
  if (layer.RequestsInFlight() != 0 || receiver.LiveRecords() != 0) std::abort();
  return 0;
}
