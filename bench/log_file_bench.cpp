// Saving and loading a large session against the plain file speed of the same bytes.
//
// Each iteration writes the session with the log-file writer and, in the same
// iteration, the same number of bytes with one plain sequential write; loading is
// measured against a plain sequential read of the file. Counters:
//   MBps         the log file's speed          plain_MBps  the plain file's speed
//   ratio        MBps / plain_MBps             (goal: at least 0.33)
//   heap_per_record   heap bytes held per loaded record (glibc's allocator counters)
//   file_per_record   bytes per record in the file; text_per_record  UTF-16 text bytes
//   fresh_heap_MBps   for loading: how fast this machine hands out and first touches
//                     the same amount of heap in blocks of the same average size,
//                     expressed per MB of file; loading cannot be faster than that
// Run: build/release/bench/tracewell_bench --benchmark_filter=LogFile

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "session_io/log_file.h"
#include "support/sample_session.h"

namespace tracewell {
namespace {

constexpr std::uint32_t kRecords = 1'000'000;

std::filesystem::path BenchFile(const char* name) {
  return std::filesystem::temp_directory_path() / name;
}

const TransactionArray& Session() {
  static const TransactionArray session = testing::MakeRealisticSession(kRecords);
  return session;
}

double Seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

template <typename F>
double Timed(F&& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return Seconds(std::chrono::steady_clock::now() - start);
}

void PlainWrite(const std::filesystem::path& path, const std::vector<char>& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  for (std::size_t at = 0; at < bytes.size(); at += 1 << 20) {
    std::fwrite(bytes.data() + at, 1, std::min<std::size_t>(1 << 20, bytes.size() - at), file);
  }
  std::fflush(file);
  std::fclose(file);
}

std::size_t PlainRead(const std::filesystem::path& path, std::vector<char>& buffer) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  std::size_t total = 0;
  for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), file)) > 0;) total += n;
  std::fclose(file);
  return total;
}

// Allocates `total` bytes in blocks of `block` bytes and touches every page, then
// frees them: the cost of the memory a load must fill, without any parsing.
double FreshHeapSeconds(std::size_t total, std::size_t block) {
  std::vector<char*> blocks;
  blocks.reserve(total / block + 1);
  const double seconds = Timed([&] {
    for (std::size_t done = 0; done < total; done += block) {
      char* p = static_cast<char*>(std::malloc(block));
      for (std::size_t i = 0; i < block; i += 4096) p[i] = 1;
      p[block - 1] = 1;
      blocks.push_back(p);
    }
  });
  for (char* p : blocks) std::free(p);
  return seconds;
}

std::size_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

void SetSpeeds(benchmark::State& state, double bytes, double seconds, double plainSeconds) {
  state.counters["MBps"] = bytes / seconds / 1e6;
  state.counters["plain_MBps"] = bytes / plainSeconds / 1e6;
  state.counters["ratio"] = plainSeconds / seconds;
  state.counters["file_per_record"] = bytes / static_cast<double>(state.iterations()) / kRecords;
}

void BM_LogFileSave(benchmark::State& state) {
  const TransactionArray& session = Session();
  const auto path = BenchFile("tracewell-bench-save.elf");
  const auto plainPath = BenchFile("tracewell-bench-plain.bin");
  double saveSeconds = 0, plainSeconds = 0, bytes = 0;
  for (auto _ : state) {
    const double seconds = Timed([&] {
      if (SaveLogFile(path, session)) state.SkipWithError("save failed");
    });
    saveSeconds += seconds;
    state.SetIterationTime(seconds);
    const std::vector<char> same(std::filesystem::file_size(path), 'x');
    plainSeconds += Timed([&] { PlainWrite(plainPath, same); });
    bytes += static_cast<double>(same.size());
  }
  SetSpeeds(state, bytes, saveSeconds, plainSeconds);
  std::filesystem::remove(plainPath);
}
BENCHMARK(BM_LogFileSave)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();

void BM_LogFileLoad(benchmark::State& state) {
  const auto path = BenchFile("tracewell-bench-load.elf");
  if (SaveLogFile(path, Session())) state.SkipWithError("save failed");
  std::vector<char> buffer(1 << 20);
  double loadSeconds = 0, plainSeconds = 0, freshSeconds = 0, bytes = 0;
  double heapPerRecord = 0, textPerRecord = 0;
  for (auto _ : state) {
    plainSeconds += Timed([&] { benchmark::DoNotOptimize(PlainRead(path, buffer)); });
    const std::size_t heapBefore = HeapInUse();
    LogLoadResult loaded;
    const double seconds = Timed([&] {
      FileError error;
      auto source = FileByteSource::Open(path, error);
      loaded = ReadLogFile(*source);
    });
    loadSeconds += seconds;
    state.SetIterationTime(seconds);
    if (loaded.records.size() != kRecords) state.SkipWithError("load lost records");
    heapPerRecord = static_cast<double>(HeapInUse() - heapBefore) / kRecords;
    double text = 0;
    for (const auto& r : loaded.records) {
      for (const std::u16string* field : TextFields(*r)) {
        text += static_cast<double>(field->size() * sizeof(char16_t));
      }
    }
    textPerRecord = text / kRecords;
    bytes += static_cast<double>(std::filesystem::file_size(path));
    loaded = {};
    // Blocks of the records' average allocation (one record and seven strings).
    const auto heapBytes = static_cast<std::size_t>(heapPerRecord * kRecords);
    freshSeconds += FreshHeapSeconds(heapBytes, heapBytes / (kRecords * 8));
  }
  SetSpeeds(state, bytes, loadSeconds, plainSeconds);
  state.counters["heap_per_record"] = heapPerRecord;
  state.counters["text_per_record"] = textPerRecord;
  state.counters["fresh_heap_MBps"] = bytes / freshSeconds / 1e6;
  std::filesystem::remove(path);
}
BENCHMARK(BM_LogFileLoad)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();

}  // namespace
}  // namespace tracewell
