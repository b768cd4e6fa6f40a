// The session grid model under a stream of capture messages: each record gets its
// row and then six updates (address, request, type, size, result, finish). The time
// per message must not grow with the number of rows already in the grid.
// BM_WindowMessages does the same through the window model from an empty grid.
// Sorting and a rebuild with the filter on are timed over 100,000 rows, and so is a
// new quick-filter text (BM_GridQuickFilter).
// Run: build/release/bench/tracewell_bench --benchmark_filter=Grid

#include <benchmark/benchmark.h>

#include <array>
#include <memory>
#include <string_view>

#include "icu_collator.h"
#include "support/fake_clock.h"
#include "support/ordinal_collator.h"
#include "support/sample_session.h"
#include "text/utf8.h"
#include "views/main_window_model.h"

namespace tracewell {
namespace {

constexpr std::uint32_t kUpdateMasks[] = {0x200, 0x08, 0x80, 0x40, 0xA0, 0x444};

// Messages for `range(0)` records arriving after `range(0)` earlier rows.
void BM_GridMessages(benchmark::State& state) {
  const auto rows = static_cast<std::uint32_t>(state.range(0));
  const TransactionArray earlier = testing::MakeRealisticSession(rows);
  const TransactionArray arriving = testing::MakeRealisticSession(1000);
  testing::OrdinalCollator collator;
  std::unique_ptr<CSessionGridModel> grid;
  for (auto _ : state) {
    state.PauseTiming();
    grid.reset();  // building and freeing the earlier rows is not timed
    grid = std::make_unique<CSessionGridModel>(collator);
    for (const auto& record : earlier) grid->AddTransactionRow(*record);
    state.ResumeTiming();
    for (const auto& record : arriving) {
      grid->AddTransactionRow(*record);
      for (const std::uint32_t mask : kUpdateMasks) grid->UpdateTransactionRow(*record, mask);
    }
  }
  state.SetItemsProcessed(state.iterations() * 1000 * 7);  // items/s = messages per second
}
BENCHMARK(BM_GridMessages)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond)->Iterations(5);

// 100,000 records through the window's own path: each starts (a row), gets five
// field updates and finishes. Items/s is messages per second; the time per message
// stays flat while the grid grows from 0 to 100,000 rows.
void BM_WindowMessages(benchmark::State& state) {
  constexpr std::uint32_t kRecords = 100'000;
  const TransactionArray source = testing::MakeRealisticSession(kRecords);
  testing::OrdinalCollator collator;
  testing::FakeClock clock;
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<CaptureMessage> messages;
    messages.reserve(kRecords * 7);
    for (std::uint32_t id = 0; id < kRecords; ++id) {
      messages.push_back({CaptureMessage::Kind::kStarted, id, 0, 0, false, {}});
      TransferFields(*source[id], messages.back().values, kFieldsAll);
      for (const std::uint32_t mask : kUpdateMasks) {
        constexpr FieldSet kFields = kFieldSize | kFieldResult | kFieldEnded;
        messages.push_back({CaptureMessage::Kind::kUpdated, id, mask, kFields, (mask & kMaskFinished) != 0, {}});
        TransferFields(*source[id], messages.back().values, kFields);
      }
    }
    auto window = std::make_unique<CMainWindowModel>(collator, clock);
    state.ResumeTiming();
    for (auto& message : messages) window->Deliver(std::move(message));
    state.PauseTiming();
    window.reset();
    messages.clear();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kRecords * 7);
}
BENCHMARK(BM_WindowMessages)->Unit(benchmark::kMillisecond)->Iterations(3);

// Each iteration sorts by the next column; the real collator is the host's ICU one.
template <typename Collator>
void BM_GridSort(benchmark::State& state) {
  const TransactionArray session = testing::MakeRealisticSession(100'000);
  const Collator collator;
  CSessionGridModel grid(collator);
  for (const auto& record : session) grid.AddTransactionRow(*record);
  std::size_t column = 0;
  for (auto _ : state) grid.SortByColumn(column++ % kGridColumnCount);
}
BENCHMARK(BM_GridSort<testing::OrdinalCollator>)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_GridSort<CIcuCollator>)->Unit(benchmark::kMillisecond)->Iterations(10);

// "Turn On Filter" over 100,000 records: reclassify every record against two status
// codes and two content types (one a family), then add the rows that pass.
void BM_GridRebuildWithFilter(benchmark::State& state) {
  testing::OrdinalCollator collator;
  testing::FakeClock clock;
  CMainWindowModel window(collator, clock);
  window.ReplaceSession(testing::MakeRealisticSession(100'000));
  FilterSettings& filter = window.Filter();
  filter.m_bFilterByStatus = true;
  filter.m_bFilterByType = true;
  filter.m_nFilterCombine = 1;
  filter.m_arrFilterStatusCodes = {u"404", u"304"};
  filter.m_arrFilterContentTypes = {u"text/css", u"image/*"};
  for (auto _ : state) {
    window.TurnOnFilter();
    benchmark::DoNotOptimize(window.Grid().RowCount());
  }
  state.counters["rows"] = static_cast<double>(window.Grid().RowCount());
}
BENCHMARK(BM_GridRebuildWithFilter)->Unit(benchmark::kMillisecond)->Iterations(10);

// A quick-filter text over 100,000 records, as typing pauses: each iteration sets the
// other spelling of the same text (case does not matter), so each one rebuilds the
// grid. The texts: a URL text no record holds (every URL read to its end), a URL
// text one row in nine holds, a host every row has, a result one row in 17 has.
void BM_GridQuickFilter(benchmark::State& state) {
  constexpr std::array<std::array<std::u16string_view, 2>, 4> kTexts = {{
      {u"LANG=FR", u"lang=fr"},
      {u"ITEMS/4", u"items/4"},
      {u"host:SHOP", u"host:shop"},
      {u"status:304", u"STATUS:304"},
  }};
  const auto& texts = kTexts.at(static_cast<std::size_t>(state.range(0)));
  testing::OrdinalCollator collator;
  testing::FakeClock clock;
  CMainWindowModel window(collator, clock);
  window.ReplaceSession(testing::MakeRealisticSession(100'000));
  std::size_t spelling = 0;
  for (auto _ : state) {
    window.SetQuickFilter(texts[spelling++ % 2]);
    benchmark::DoNotOptimize(window.Grid().RowCount());
  }
  state.SetLabel(ToUtf8(texts[0]));
  state.counters["rows"] = static_cast<double>(window.Grid().RowCount());
}
BENCHMARK(BM_GridQuickFilter)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
}  // namespace tracewell
