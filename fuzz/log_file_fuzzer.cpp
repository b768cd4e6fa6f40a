// Arbitrary bytes into the log-file loader. Besides crashes and leaks it checks that
// what the loader keeps is bounded by the input: every record needs at least a
// minimal block, and no string can hold more characters than the file has bytes.

#include <cstdint>
#include <cstdlib>

#include "session_io/log_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tracewell;
  MemoryByteSource source(std::string_view(reinterpret_cast<const char*>(data), size));
  const LogLoadResult result = ReadLogFile(source);

  if (result.records.size() * kMinimumRecordBlockSize > size) std::abort();
  if (result.records.capacity() * kMinimumRecordBlockSize > size) std::abort();
  std::size_t characters = 0;
  for (const auto& r : result.records) {
    for (const std::u16string* text : TextFields(*r)) characters += text->size();
  }
  if (characters > size) std::abort();
  if (!result.replacesSession && !result.records.empty()) std::abort();

  // Whatever was loaded saves again and loads back to the same records.
  StringByteSink sink;
  if (WriteLogFile(result.records, sink)) std::abort();
  MemoryByteSource again(sink.data());
  if (ReadLogFile(again).records.size() != result.records.size()) std::abort();
  return 0;
}
