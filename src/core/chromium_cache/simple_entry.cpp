#include "chromium_cache/simple_entry.h"

#include <algorithm>
#include <optional>

#include "chromium_cache/checksums.h"
#include "chromium_cache/little_endian.h"

namespace tracewell::chromium_cache {
namespace {

constexpr std::uint64_t kInitialMagic = 0xfcfb6d1ba7725c30ULL;
constexpr std::uint64_t kFinalMagic = 0xf4fa6f45970d41d8ULL;
constexpr std::uint32_t kHasCrc32 = 1u << 0;
constexpr std::uint32_t kHasKeySha256 = 1u << 1;
constexpr std::size_t kSha256Size = 32;

struct EndRecord {
  std::uint32_t flags = 0;
  std::uint32_t crc = 0;
  std::uint32_t streamSize = 0;
};

// The end record at `offset` (the caller has checked that it fits).
std::optional<EndRecord> ReadEndRecord(std::string_view bytes, std::size_t offset) {
  if (ReadU64(bytes, offset) != kFinalMagic) return std::nullopt;
  return EndRecord{ReadU32(bytes, offset + 8), ReadU32(bytes, offset + 12), ReadU32(bytes, offset + 16)};
}

bool CrcMatches(const EndRecord& record, std::string_view stream) {
  return (record.flags & kHasCrc32) == 0 || Crc32(stream) == record.crc;
}

}  // namespace

std::variant<SimpleEntryHeader, EntryFault> ParseEntryHeader(std::string_view bytes) {
  if (bytes.size() < kEntryHeaderSize) return EntryFault{EntryFaultKind::kTruncated};
  if (ReadU64(bytes, 0) != kInitialMagic) return EntryFault{EntryFaultKind::kBadMagic};
  const std::uint32_t version = ReadU32(bytes, 8);
  if (version != kSimpleEntryVersion) return EntryFault{EntryFaultKind::kUnsupportedVersion, version};
  return SimpleEntryHeader{ReadU32(bytes, 12), ReadU32(bytes, 16)};
}

std::variant<std::string_view, EntryFault> ParseEntryKey(std::string_view bytes) {
  const auto header = ParseEntryHeader(bytes);
  if (const auto* fault = std::get_if<EntryFault>(&header)) return *fault;
  const std::uint32_t keyLength = std::get<SimpleEntryHeader>(header).keyLength;
  if (keyLength > bytes.size() - kEntryHeaderSize) return EntryFault{EntryFaultKind::kTruncated};
  return bytes.substr(kEntryHeaderSize, keyLength);
}

std::variant<SimpleEntry, EntryFault> ParseSimpleEntry(std::string_view bytes) {
  const auto key = ParseEntryKey(bytes);
  if (const auto* fault = std::get_if<EntryFault>(&key)) return *fault;
  SimpleEntry entry;
  entry.key = std::get<std::string_view>(key);
  const std::size_t streamsStart = kEntryHeaderSize + entry.key.size();
  // Two end records at least, after the key.
  if (bytes.size() - streamsStart < 2 * kEndRecordSize) return EntryFault{EntryFaultKind::kTruncated};

  const auto last = ReadEndRecord(bytes, bytes.size() - kEndRecordSize);
  if (!last) return EntryFault{EntryFaultKind::kBadMagic};
  std::size_t stream0End = bytes.size() - kEndRecordSize;
  const bool hasSha = (last->flags & kHasKeySha256) != 0;
  if (hasSha) {
    if (stream0End - streamsStart < kEndRecordSize + kSha256Size) return EntryFault{EntryFaultKind::kBadLength};
    stream0End -= kSha256Size;
  }
  // Stream 0 and the end record of stream 1 must fit between the key and stream 0's end.
  if (last->streamSize > stream0End - streamsStart - kEndRecordSize) return EntryFault{EntryFaultKind::kBadLength};
  const std::size_t stream0Start = stream0End - last->streamSize;
  const std::size_t firstRecord = stream0Start - kEndRecordSize;
  const auto first = ReadEndRecord(bytes, firstRecord);
  if (!first) return EntryFault{EntryFaultKind::kBadMagic};

  entry.responseInfo = bytes.substr(stream0Start, last->streamSize);
  entry.body = bytes.substr(streamsStart, firstRecord - streamsStart);
  if (hasSha) {
    const Sha256Digest digest = Sha256(entry.key);
    if (!std::equal(digest.begin(), digest.end(), bytes.begin() + static_cast<std::ptrdiff_t>(stream0End),
                    [](unsigned char a, char b) { return a == static_cast<unsigned char>(b); })) {
      return EntryFault{EntryFaultKind::kBadChecksum};
    }
  }
  if (!CrcMatches(*last, entry.responseInfo) || !CrcMatches(*first, entry.body)) {
    return EntryFault{EntryFaultKind::kBadChecksum};
  }
  return entry;
}

}  // namespace tracewell::chromium_cache
