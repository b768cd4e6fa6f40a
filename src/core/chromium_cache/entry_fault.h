#pragma once
// Why an entry file of the browser's disk cache could not be read.

#include <cstdint>
#include <string>

namespace tracewell::chromium_cache {

enum class EntryFaultKind {
  kTruncated,              // shorter than its records say
  kBadMagic,               // not an entry file, or damaged
  kUnsupportedVersion,     // an entry format this program does not know (value: the version)
  kBadLength,              // a length that points past the data
  kBadChecksum,            // a stream's CRC-32 or the key's SHA-256 does not match
  kBadResponseInfo,        // the stored response information is malformed
  kUnsupportedInfoVersion  // a response-information format this program does not know
};

struct EntryFault {
  EntryFaultKind kind = EntryFaultKind::kTruncated;
  std::uint32_t value = 0;

  friend bool operator==(const EntryFault&, const EntryFault&) = default;
};

// A version fault means the whole cache is of a kind this program cannot read.
bool IsVersionFault(const EntryFault& fault);

// One sentence for the user.
std::string DescribeEntryFault(const EntryFault& fault);

}  // namespace tracewell::chromium_cache
