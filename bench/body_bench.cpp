// The Body tab's work for one selected record: a stored body read through the stores,
// its content encoding undone and the view built (text in its charset, JSON laid
// out, hex dump). Bytes processed are the decoded body's bytes.
// Run: build/release/bench/tracewell_bench --benchmark_filter=Body

#include <benchmark/benchmark.h>

#include "bodies/body_view.h"
#include "core/bodies/compress.h"
#include "support/fake_cache_files.h"

namespace tracewell {
namespace {

constexpr std::size_t kBodyBytes = 1024 * 1024;

// About 1 MiB of a web page's text, or of a JSON array of small objects.
std::string PageText() {
  std::string page;
  for (int i = 0; page.size() < kBodyBytes; ++i) {
    page += "<li><a href=\"/item/" + std::to_string(i) + "\">Gr\xC3\xBC\xC3\x9F" "e item " + std::to_string(i) +
            "</a></li>\n";
  }
  return page;
}

std::string JsonText() {
  std::string json = "[";
  for (int i = 0; json.size() < kBodyBytes; ++i) {
    json += (i == 0 ? "" : ",") + std::string(R"({"id":)") + std::to_string(i) + R"(,"name":"item","tags":["a","b"]})";
  }
  return json + "]";
}

void RunView(benchmark::State& state, const std::string& decoded, std::string stored,
             std::u16string_view encoding, std::u16string_view type) {
  testing::FakeFiles files;
  files.files[u"/store/1"] = std::move(stored);
  RecordBodies bodies;
  bodies.storedFile = u"/store/1";
  bodies.responseContentEncoding = encoding;
  bodies.responseContentType = type;
  for (auto _ : state) benchmark::DoNotOptimize(ResponseBodyView(bodies, files));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(decoded.size()));
}

void BM_BodyGzipPage(benchmark::State& state) {
  const std::string page = PageText();
  RunView(state, page, testing::Gzipped(page), u"gzip", u"text/html; charset=utf-8");
}
BENCHMARK(BM_BodyGzipPage)->Unit(benchmark::kMillisecond);

void BM_BodyBrotliJson(benchmark::State& state) {
  const std::string json = JsonText();
  RunView(state, json, testing::Brotli(json), u"br", u"application/json");
}
BENCHMARK(BM_BodyBrotliJson)->Unit(benchmark::kMillisecond);

void BM_BodyHexDump(benchmark::State& state) {
  std::string binary(kBodyBytes, '\0');
  for (std::size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>(i * 131);
  RunView(state, binary, binary, u"", u"application/octet-stream");
}
BENCHMARK(BM_BodyHexDump)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tracewell
