// Writing and reading a 100,000-entry session as HAR, in memory, so that the figures
// are those of the format code (JSON building and parsing, splitting of headers,
// cookies and parameters, time zone look-ups through the machine's clock) and not
// of the disk. Bytes processed are the HAR file's bytes, so the MB/s of both runs
// compare directly.
// Run: build/release/bench/tracewell_bench --benchmark_filter=Har

#include <benchmark/benchmark.h>

#include "session_io/har_export.h"
#include "session_io/har_import.h"
#include "support/sample_session.h"
#include "system_clock.h"

namespace tracewell {
namespace {

constexpr std::uint32_t kRecords = 100'000;

const TransactionArray& Session() {
  static const TransactionArray session = testing::MakeRealisticSession(kRecords);
  return session;
}

const std::string& HarText() {
  static const std::string text = [] {
    StringByteSink sink;
    WriteHarExport(Session(), SystemClock(), HarExportOptions{}, sink);
    return sink.data();
  }();
  return text;
}

void BM_HarExport(benchmark::State& state) {
  const SystemClock clock;
  std::int64_t bytes = 0;
  for (auto _ : state) {
    StringByteSink sink;
    WriteHarExport(Session(), clock, HarExportOptions{}, sink);
    bytes += static_cast<std::int64_t>(sink.data().size());
  }
  state.SetBytesProcessed(bytes);
  state.counters["entries"] = kRecords;
}
BENCHMARK(BM_HarExport)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_HarImport(benchmark::State& state) {
  const SystemClock clock;
  const std::string& text = HarText();
  for (auto _ : state) {
    MemoryByteSource source(text);
    const HarLoadResult loaded = ReadHarFile(source, clock);
    if (loaded.error || loaded.records.size() != kRecords) state.SkipWithError("import failed");
    benchmark::DoNotOptimize(loaded.records.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.counters["file_MB"] = static_cast<double>(text.size()) / 1e6;
}
BENCHMARK(BM_HarImport)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace tracewell
