#include "chromium_cache/entry_fault.h"

namespace tracewell::chromium_cache {

bool IsVersionFault(const EntryFault& fault) {
  return fault.kind == EntryFaultKind::kUnsupportedVersion ||
         fault.kind == EntryFaultKind::kUnsupportedInfoVersion;
}

std::string DescribeEntryFault(const EntryFault& fault) {
  switch (fault.kind) {
    case EntryFaultKind::kTruncated:
      return "the cache entry file is shorter than its records say";
    case EntryFaultKind::kBadMagic:
      return "the file is not a cache entry (wrong magic number)";
    case EntryFaultKind::kUnsupportedVersion:
      return "the browser's disk cache has entry format version " + std::to_string(fault.value) +
             ", which this program cannot read; its cache entries are not shown";
    case EntryFaultKind::kBadLength:
      return "a length in the cache entry file points past its end";
    case EntryFaultKind::kBadChecksum:
      return "a checksum in the cache entry file does not match its data";
    case EntryFaultKind::kBadResponseInfo:
      return "the response information in the cache entry file is malformed";
    case EntryFaultKind::kUnsupportedInfoVersion:
      return "the browser's disk cache stores response information in version " +
             std::to_string(fault.value) + ", which this program cannot read; its cache entries are not shown";
  }
  return "the cache entry file cannot be read";
}

}  // namespace tracewell::chromium_cache
