// The capture engine's own cost for one typical binding: start, connecting, sending
// request, MIME type, two data reports, result, two reads and terminate, with every
// announcement built and handed to a notifier that drops it. Counters: ns per
// binding (the time column) and heap allocations per binding.
// Run: build/release/bench/tracewell_bench --benchmark_filter=Capture

#include <benchmark/benchmark.h>

#include "capture/http_handler.h"
#include "capture/no_cache_store.h"
#include "counting_new.h"
#include "support/fake_clock.h"

namespace tracewell {
namespace {

class DroppingNotifier final : public ICaptureNotifier {
 public:
  void Post(CaptureMessage message) override { benchmark::DoNotOptimize(&message.values); }
};

class Browser final : public IProtocolSink, public IBindInfo {
 public:
  HResult Switch() override { return hr::Ok; }
  HResult ReportProgress(std::uint32_t, std::u16string_view) override { return hr::Ok; }
  HResult ReportData(std::uint32_t, std::uint32_t, std::uint32_t) override { return hr::Ok; }
  HResult ReportResult(HResult, std::uint32_t, std::u16string_view) override { return hr::Ok; }
  HResult GetBindInfo(std::uint32_t& flags, BindInfo& info) override {
    flags = 0;
    info.verb = kBindVerbGet;
    return hr::Ok;
  }
};

// A target that answers like a real exchange with realistic header blocks.
class Target final : public ITargetProtocol {
 public:
  HResult Start(std::u16string_view, IProtocolSink& sink, IBindInfo&, std::uint32_t) override {
    sink.ReportProgress(kBindStatusConnecting, u"127.0.0.1");
    sink.ReportProgress(kBindStatusSendingRequest, u"");
    sink.ReportProgress(kBindStatusMimeTypeAvailable, u"text/html");
    sink.ReportData(1, 512, 1024);
    sink.ReportData(kLastDataNotification, 1024, 1024);
    sink.ReportResult(hr::Ok, 0, u"");
    return hr::Ok;
  }
  HResult StartEx(const IUri&, IProtocolSink&, IBindInfo&, std::uint32_t) override { return hr::Ok; }
  HResult Read(char*, std::uint32_t size, std::uint32_t& read) override {
    read = size;
    return hr::Ok;
  }
  HResult Abort(HResult, std::uint32_t) override { return hr::Ok; }
  HResult Terminate(std::uint32_t) override { return hr::Ok; }
  std::optional<std::string> QueryInfo(std::uint32_t option) override {
    if (option == kQueryStatusCode) return "200";
    if (option == (kQueryRawHeadersCrLf | kQueryFlagRequestHeaders)) return m_request;
    if (option == kQueryRawHeadersCrLf) return m_response;
    return std::nullopt;
  }
  std::optional<std::uint32_t> QueryRequestFlags() override { return 0; }

 private:
  std::string m_request = "GET /catalogue/items/4711/details?session=4f9c2a7e81&view=full HTTP/1.1\r\n"
                          "Host: 127.0.0.1:8080\r\nAccept: text/html,application/xhtml+xml\r\n"
                          "User-Agent: Mozilla/5.0 (X11; Linux x86_64) Chrome/156.0\r\n"
                          "Accept-Language: en-GB,en;q=0.9\r\nCookie: session=4f9c2a7e81\r\n\r\n";
  std::string m_response = "HTTP/1.1 200 OK\r\nServer: nginx/1.22.1\r\nContent-Type: text/html\r\n"
                           "Content-Length: 1024\r\nCache-Control: private, max-age=600\r\n\r\n";
};

void BM_CaptureBinding(benchmark::State& state) {
  const testing::FakeClock clock(0, {2026, 12, 1, 7, 9, 5, 3, 45});
  CNoCacheStore cache;
  auto notifier = std::make_shared<DroppingNotifier>();
  auto target = std::make_shared<Target>();
  Browser browser;
  char buffer[512];
  const std::uint64_t before = bench::Allocations();
  for (auto _ : state) {
    CHttpHandlerAPP handler(clock, cache);
    handler.SetTarget(target);
    handler.SetNotifyWindow(notifier);
    handler.Start(u"http://127.0.0.1:8080/catalogue/items/4711/details?session=4f9c2a7e81&view=full",
                  &browser, &browser, 0);
    std::uint32_t read = 0;
    handler.Read(buffer, sizeof buffer, read);
    handler.Read(buffer, sizeof buffer, read);
    handler.Terminate(0);
  }
  state.counters["allocs_per_binding"] =
      static_cast<double>(bench::Allocations() - before) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_CaptureBinding);

}  // namespace
}  // namespace tracewell
