// Looking entries up by URL in a browser disk-cache folder of 2,000 entries: the first
// query (the folder is listed and every entry file's first bytes read), a query
// once the map is built, and a query after each change of the folder (listed again).

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "chromium_cache/checksums.h"
#include "chromium_cache_store.h"
#include "support/temp_dir.h"
#include "text/utf8.h"

namespace {

namespace fs = std::filesystem;
using namespace tracewell;

constexpr int kEntries = 2000;

void Append(std::string& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i));
}

std::string Url(int n) { return "http://127.0.0.1:8080/assets/file" + std::to_string(n) + ".css"; }

// An entry file as the browser writes it: header, key, body, end record, response
// information, the key's SHA-256 and the last end record.
std::string EntryFile(const std::string& url, const std::string& body) {
  const std::string key = "1/0/_dk_http://127.0.0.1 http://127.0.0.1 " + url;
  std::string file;
  Append(file, 0xfcfb6d1ba7725c30ULL, 8);
  Append(file, 5, 4);
  Append(file, key.size(), 4);
  Append(file, 0, 8);
  file += key + body;
  Append(file, 0xf4fa6f45970d41d8ULL, 8);
  Append(file, 1, 4);
  Append(file, chromium_cache::Crc32(body), 4);
  Append(file, 0, 8);
  const std::string headers =
      std::string("HTTP/1.1 200 OK\0Content-Type: text/css\0Cache-Control: max-age=600\0\0", 68);
  std::string payload;
  Append(payload, 0x80000003u, 4);
  Append(payload, 4, 4);
  for (int i = 0; i < 3; ++i) Append(payload, 13'400'000'000'000'000ULL, 8);
  Append(payload, headers.size(), 4);
  payload += headers;
  payload.resize((payload.size() + 3) / 4 * 4, '\0');
  std::string info;
  Append(info, payload.size(), 4);
  info += payload;
  file += info;
  const auto digest = chromium_cache::Sha256(key);
  file.append(reinterpret_cast<const char*>(digest.data()), digest.size());
  Append(file, 0xf4fa6f45970d41d8ULL, 8);
  Append(file, 3, 4);
  Append(file, chromium_cache::Crc32(info), 4);
  Append(file, info.size(), 4);
  Append(file, 0, 4);
  return file;
}

// The folder, made once, last changed an hour ago.
const fs::path& Folder() {
  static testing::TempDir dir;
  static const fs::path folder = [] {
    const fs::path made = dir / "Cache_Data";
    fs::create_directory(made);
    for (int n = 0; n < kEntries; ++n) {
      char name[32];
      std::snprintf(name, sizeof name, "%016x_0", n * 2654435761u);
      testing::WriteWholeFile(made / name, EntryFile(Url(n), "p { color: teal } /* " + std::to_string(n) + " */\n"));
    }
    fs::last_write_time(made, fs::file_time_type::clock::now() - std::chrono::hours(1));
    return made;
  }();
  return folder;
}

void Query(browser::CChromiumCacheStore& store, int n) {
  const auto snapshot = TakeCacheSnapshot(store, FromUtf8(Url(n)));
  if (!snapshot) throw std::runtime_error("entry not found");
  benchmark::DoNotOptimize(snapshot);
}

void BM_FirstQuery(benchmark::State& state) {
  const fs::path& folder = Folder();  // made before the timing
  for (auto _ : state) {
    browser::CChromiumCacheStore store(folder, {});
    Query(store, 7);
  }
}
BENCHMARK(BM_FirstQuery)->Unit(benchmark::kMillisecond);

void BM_QueryWithMapBuilt(benchmark::State& state) {
  browser::CChromiumCacheStore store(Folder(), {});
  Query(store, 0);
  int n = 0;
  for (auto _ : state) Query(store, n++ % kEntries);
}
BENCHMARK(BM_QueryWithMapBuilt)->Unit(benchmark::kMicrosecond);

// Each query after a change of the folder: listed again, no entry file new.
void BM_QueryAfterTheFolderChanged(benchmark::State& state) {
  browser::CChromiumCacheStore store(Folder(), {});
  Query(store, 0);
  const auto past = fs::file_time_type::clock::now() - std::chrono::hours(1);
  int n = 0;
  for (auto _ : state) {
    state.PauseTiming();
    fs::last_write_time(Folder(), past + std::chrono::seconds(n));
    state.ResumeTiming();
    Query(store, n++ % kEntries);
  }
  fs::last_write_time(Folder(), past);
}
BENCHMARK(BM_QueryAfterTheFolderChanged)->Unit(benchmark::kMicrosecond);

}  // namespace
