// Writing and reading a 100,000-entry session as HAR, in memory, so that the figures
// are those of the format code (JSON building and parsing, splitting of headers,
// cookies and parameters, time zone look-ups through the machine's clock) and not
// of the disk. Bytes processed are the HAR file's bytes, so the MB/s of both runs
// compare directly.
// Run: build/release/bench/tracewell_bench --benchmark_filter=Har
//
// BM_HarImportHeaders reads one entry with a great many request headers: the time
// per header must stay flat as their number grows.

#include <benchmark/benchmark.h>

#include "export_session.h"
#include "session_io/har_export.h"
#include "session_io/har_import.h"
#include "system_clock.h"

namespace tracewell {
namespace {

constexpr std::uint32_t kRecords = bench::kExportRecords;
const auto& Session = bench::ExportSession;

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

// One request whose header block holds `count` header lines, as HAR.
std::string OneEntryWithHeaders(std::int64_t count) {
  auto record = std::make_unique<CHttpTransaction>();
  record->m_strMethod = u"GET";
  record->m_strUrl = u"http://shop.example.test/catalogue";
  record->m_strResult = u"200";
  record->m_stStarted = {2026, 12, 2, 1, 7, 20, 31, 45};
  std::u16string block = u"GET /catalogue HTTP/1.1\r\n";
  for (std::int64_t i = 0; i < count; ++i) {
    const auto n = std::to_string(i);
    block += u"X-Header-" + std::u16string(n.begin(), n.end()) + u": value of some length\r\n";
  }
  record->m_strRequestHeaders = std::move(block);
  TransactionArray session;
  session.push_back(std::move(record));
  StringByteSink sink;
  WriteHarExport(session, SystemClock(), HarExportOptions{}, sink);
  return sink.data();
}

void BM_HarImportHeaders(benchmark::State& state) {
  const SystemClock clock;
  const std::string text = OneEntryWithHeaders(state.range(0));
  for (auto _ : state) {
    MemoryByteSource source(text);
    const HarLoadResult loaded = ReadHarFile(source, clock);
    if (loaded.error || loaded.records.size() != 1) state.SkipWithError("import failed");
    benchmark::DoNotOptimize(loaded.records.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.counters["headers"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_HarImportHeaders)->Arg(25'000)->Arg(100'000)->Arg(200'000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tracewell
