// Exporting a large session to XML and CSV, against a plain write of the same bytes.
// Counters: MBps (export, file bytes per second), plain_MBps (one plain sequential
// write of as many bytes, measured in the same iteration), ratio (MBps / plain_MBps).
// Run: build/release/bench/tracewell_bench --benchmark_filter=Export

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "export_session.h"
#include "session_io/session_formats.h"
#include "support/fake_clock.h"

namespace tracewell {
namespace {

constexpr std::uint32_t kRecords = bench::kExportRecords;
const auto& Session = bench::ExportSession;

double SecondsOf(const auto& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void PlainWrite(const std::filesystem::path& path, std::size_t size) {
  const std::vector<char> bytes(size, 'x');
  std::FILE* file = std::fopen(path.c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fflush(file);
  std::fclose(file);
}

template <typename Export>
void RunExport(benchmark::State& state, const char* name, Export&& exportTo) {
  const auto path = std::filesystem::temp_directory_path() / name;
  const auto plain = std::filesystem::temp_directory_path() / "tracewell-bench-plain.out";
  double seconds = 0, plainSeconds = 0, bytes = 0;
  for (auto _ : state) {
    const double s = SecondsOf([&] {
      if (exportTo(path)) state.SkipWithError("export failed");
    });
    state.SetIterationTime(s);
    seconds += s;
    const auto size = std::filesystem::file_size(path);
    plainSeconds += SecondsOf([&] { PlainWrite(plain, size); });
    bytes += static_cast<double>(size);
  }
  state.counters["MBps"] = bytes / seconds / 1e6;
  state.counters["plain_MBps"] = bytes / plainSeconds / 1e6;
  state.counters["ratio"] = plainSeconds / seconds;
  std::filesystem::remove(path);
  std::filesystem::remove(plain);
}

void BM_ExportXml(benchmark::State& state) {
  RunExport(state, "tracewell-bench.xml",
            [](const auto& path) {
              return WriteSessionFile(SessionFormat::kXml, path, Session(), testing::FakeClock());
            });
}
BENCHMARK(BM_ExportXml)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();

void BM_ExportCsv(benchmark::State& state) {
  RunExport(state, "tracewell-bench.csv", [](const auto& path) {
    return WriteSessionFile(SessionFormat::kCsv, path, Session(), testing::FakeClock());
  });
}
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();

}  // namespace
}  // namespace tracewell
