// The response store's share of one proxied response, as the proxy and the capture
// engine ask for it: the snapshot before, the response's header block parsed, its
// body written through the tee, the entry changed, the snapshot after. One URL
// fetched again and again (its stored body equal each time), and a new URL each
// time (a new entry and body file). A new body's file is made and written by the
// store's file worker: BM_StoreNewUrl is the proxy thread's share alone (at 1 MB the
// worker falls behind, and a body that would leave more than the bound waiting is
// not stored), BM_StoreNewUrlOnDisk waits for each body to be on disk, in real time.
// Bytes processed are the body's bytes.
// Run: build/release/bench/tracewell_bench --benchmark_filter=Store

#include <benchmark/benchmark.h>

#include "capture/cache_store.h"
#include "store/response_store.h"
#include "support/temp_dir.h"
#include "text/utf8.h"

namespace tracewell {
namespace {

constexpr std::u16string_view kRequestBlock =
    u"GET /1k HTTP/1.1\r\nHost: 127.0.0.1:8080\r\nUser-Agent: wrk\r\nAccept: */*\r\n\r\n";

std::u16string ResponseBlock(std::size_t bodySize) {
  return u"HTTP/1.1 200 OK\r\nServer: nginx/1.26.3\r\nDate: Tue, 08 Dec 2026 19:20:00 GMT\r\n"
         u"Content-Type: application/octet-stream\r\nContent-Length: " +
         FromUtf8(std::to_string(bodySize)) +
         u"\r\nLast-Modified: Tue, 08 Dec 2026 19:00:00 GMT\r\nConnection: keep-alive\r\n"
         u"ETag: \"6937b1c0-400\"\r\nAccept-Ranges: bytes\r\n\r\n";
}

void OneResponse(store::CResponseStore& store, const std::u16string& url, const std::u16string& responseBlock,
                 const std::string& body) {
  benchmark::DoNotOptimize(TakeCacheSnapshot(store, url));
  const auto tee = store.Begin({url, u"GET", std::u16string(kRequestBlock)}, responseBlock);
  constexpr std::size_t kChunk = 64 * 1024;
  for (std::size_t at = 0; at < body.size(); at += kChunk) {
    tee->Write(body.data() + at, std::min(kChunk, body.size() - at));
  }
  tee->Complete();
  benchmark::DoNotOptimize(TakeCacheSnapshot(store, url));
}

void BM_StoreSameUrl(benchmark::State& state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  testing::TempDir temp;
  store::CResponseStore store({temp / "store", store::kDefaultStoreBytes, {}, {}});
  const std::u16string url = u"http://127.0.0.1:8080/body";
  const std::u16string response = ResponseBlock(size);
  const std::string body(size, 'x');
  for (auto _ : state) OneResponse(store, url, response, body);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
BENCHMARK(BM_StoreSameUrl)->Arg(1024)->Arg(1024 * 1024)->Unit(benchmark::kMicrosecond);

// A response for a new URL each time; with `onDisk`, its body file is written before
// the next one starts, so that the disk's share shows too.
void StoreNewUrls(benchmark::State& state, bool onDisk) {
  const auto size = static_cast<std::size_t>(state.range(0));
  testing::TempDir temp;
  store::CResponseStore store({temp / "store", store::kDefaultStoreBytes, {}, {}});
  const std::u16string response = ResponseBlock(size);
  const std::string body(size, 'x');
  std::uint64_t next = 0;
  for (auto _ : state) {
    OneResponse(store, u"http://127.0.0.1:8080/" + FromUtf8(std::to_string(++next)), response, body);
    if (onDisk) store.Settle();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}

void BM_StoreNewUrl(benchmark::State& state) { StoreNewUrls(state, false); }
BENCHMARK(BM_StoreNewUrl)->Arg(1024)->Arg(1024 * 1024)->Unit(benchmark::kMicrosecond);

void BM_StoreNewUrlOnDisk(benchmark::State& state) { StoreNewUrls(state, true); }
BENCHMARK(BM_StoreNewUrlOnDisk)->Arg(1024)->Arg(1024 * 1024)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
}  // namespace tracewell
