// Arbitrary bytes into the HAR reader. Besides crashes and leaks it checks that
// what the reader keeps is bounded by the input (an entry takes dozens of bytes, a
// character at least one) and that a file it accepted is stable: writing the records
// as HAR and reading that back writes the very same bytes again.

#include <cstdint>
#include <cstdlib>

#include "session_io/har_export.h"
#include "session_io/har_import.h"
#include "support/fake_clock.h"

namespace {

using namespace tracewell;

std::string Export(const TransactionArray& records, const IClock& clock) {
  StringByteSink sink;
  WriteHarExport(records, clock, HarExportOptions{}, sink);
  return sink.data();
}

HarLoadResult Import(std::string_view bytes, const IClock& clock) {
  MemoryByteSource source(bytes);
  return ReadHarFile(source, clock);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const testing::FakeClock clock(-90);
  const HarLoadResult result = Import(std::string_view(reinterpret_cast<const char*>(data), size), clock);
  if (result.error && !result.records.empty()) std::abort();

  constexpr std::size_t kSmallestEntry = 40;  // {"request":{"method":"","url":""},...}
  if (result.records.size() * kSmallestEntry > size) std::abort();
  std::size_t characters = 0;
  for (const auto& r : result.records) {
    for (const std::u16string* text : TextFields(*r)) characters += text->size();
  }
  if (characters > 2 * size + 64 * result.records.size()) std::abort();

  if (result.error) return 0;
  const std::string first = Export(result.records, clock);
  const HarLoadResult again = Import(first, clock);
  if (again.error || Export(again.records, clock) != first) std::abort();
  return 0;
}
