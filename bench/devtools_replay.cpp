// The DevTools layer's cost: a recorded stream of 100,000 browser requests (each a
// request from the network with both ExtraInfo events, every tenth a memory-cache
// hit, as Chromium 156 reported them) played as pipe messages through the client and
// the network layer into the capture engine and the main window's session list.
// Counters: events per second, and heap allocations per request for the whole path
// (reading the JSON, the record, the capture messages, the grid row); the same for
// reading the messages alone, the JSON reader's share.
// Run: build/release/bench/tracewell_devtools_bench

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "capture/capture_registration.h"
#include "capture/no_cache_store.h"
#include "capture/scheme_bindings.h"
#include "counting_new.h"
#include "devtools/network_layer.h"
#include "support/fake_clock.h"
#include "support/ordinal_collator.h"
#include "views/main_window_model.h"

namespace tracewell {
namespace {

constexpr std::size_t kRequests = 100'000;
constexpr std::size_t kCacheHitEvery = 10;

std::vector<std::string> RecordedEvents(const char* file, std::string_view requestId) {
  std::ifstream in(std::string(TRACEWELL_DEVTOOLS_DATA) + "/" + file);
  if (!in) std::abort();
  const std::string needle = "\"requestId\":\"" + std::string(requestId) + "\"";
  std::vector<std::string> events;
  for (std::string line; std::getline(in, line);) {
    if (line.find(needle) != std::string::npos) events.push_back(line);
  }
  if (events.empty()) std::abort();
  return events;
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

// The recorded request `requestId` as request number `n`: its own id and URL.
void AppendCopy(std::vector<std::string>& stream, const std::vector<std::string>& recorded,
                std::string_view requestId, std::size_t n) {
  const std::string id = "\"requestId\":\"" + std::to_string(40000 + n) + ".1\"";
  const std::string url = "/style" + std::to_string(n) + ".css";
  for (std::string event : recorded) {
    ReplaceAll(event, "\"requestId\":\"" + std::string(requestId) + "\"", id);
    ReplaceAll(event, "/style.css", url);
    stream.push_back(std::move(event));
  }
}

const std::vector<std::string>& Stream() {
  static const std::vector<std::string> stream = [] {
    const auto network = RecordedEvents("first_load.jsonl", "25273.2");
    const auto cached = RecordedEvents("second_load.jsonl", "25273.14");
    std::vector<std::string> all;
    all.reserve(kRequests * network.size());
    for (std::size_t n = 0; n < kRequests; ++n) {
      if (n % kCacheHitEvery == kCacheHitEvery - 1) {
        AppendCopy(all, cached, "25273.14", n);
      } else {
        AppendCopy(all, network, "25273.2", n);
      }
    }
    return all;
  }();
  return stream;
}

class NullTransport final : public devtools::IDevToolsTransport {
 public:
  void Send(std::string) override {}
};

// Straight into the main window on this thread, as the window's queue would drain.
class WindowNotifier final : public ICaptureNotifier {
 public:
  explicit WindowNotifier(CMainWindowModel& window) : m_window(window) {}
  void Post(CaptureMessage message) override { m_window.Deliver(std::move(message)); }

 private:
  CMainWindowModel& m_window;
};

void BM_DevToolsReplay(benchmark::State& state) {
  const std::vector<std::string>& stream = Stream();
  const testing::FakeClock clock;
  const testing::OrdinalCollator collator;
  std::uint64_t allocations = 0;
  std::size_t records = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto window = std::make_unique<CMainWindowModel>(collator, clock);
    auto notifier = std::make_shared<WindowNotifier>(*window);
    NullTransport transport;
    devtools::CDevToolsClient client(transport);
    CSchemeBindings bindings;
    CNoCacheStore cache;
    CCaptureRegistration registration(bindings, CaptureServices{clock, cache});
    registration.StartCapture(notifier);
    devtools::CDevToolsNetworkLayer layer(client, bindings);
    client.SetEventHandler([&](const devtools::DevToolsMessage& event) { layer.OnEvent(event); });
    const std::uint64_t before = bench::Allocations();
    state.ResumeTiming();

    for (const std::string& message : stream) client.OnMessage(message);

    state.PauseTiming();
    allocations += bench::Allocations() - before;
    records = window->Session().size();
    if (records != kRequests || layer.RequestsInFlight() != 0) std::abort();
    window.reset();  // the session's records go before the next round
    state.ResumeTiming();
  }
  state.counters["events/s"] = benchmark::Counter(
      static_cast<double>(stream.size()) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["allocs/request"] =
      static_cast<double>(allocations) / static_cast<double>(state.iterations() * kRequests);
  state.counters["events"] = static_cast<double>(stream.size());
  state.counters["records"] = static_cast<double>(records);
}
BENCHMARK(BM_DevToolsReplay)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same stream read as messages and nothing more: the share of the JSON reader.
void BM_DevToolsReadOnly(benchmark::State& state) {
  const std::vector<std::string>& stream = Stream();
  std::uint64_t allocations = 0;
  for (auto _ : state) {
    const std::uint64_t before = bench::Allocations();
    for (const std::string& message : stream) {
      auto read = devtools::ReadDevToolsMessage(message);
      benchmark::DoNotOptimize(read);
    }
    allocations += bench::Allocations() - before;
  }
  state.counters["events/s"] = benchmark::Counter(
      static_cast<double>(stream.size()) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["allocs/request"] =
      static_cast<double>(allocations) / static_cast<double>(state.iterations() * kRequests);
}
BENCHMARK(BM_DevToolsReadOnly)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace tracewell
