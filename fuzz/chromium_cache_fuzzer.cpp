// Arbitrary bytes as a browser disk-cache entry file and as its stored response
// information. Besides crashes and leaks it checks that what is read is bounded by
// the input: every part is a view inside it, and the header block and snapshot are
// no larger than the bytes they came from allow.

#include <cstdint>
#include <cstdlib>

#include "chromium_cache/disk_entry_snapshot.h"
#include "chromium_cache/response_info.h"
#include "chromium_cache/simple_entry.h"

namespace {

using namespace tracewell::chromium_cache;

bool Inside(std::string_view part, std::string_view whole) {
  return part.empty() || (part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size());
}

void CheckResponseInfo(std::string_view bytes) {
  const auto info = ParseResponseInfo(bytes);
  if (const auto* fault = std::get_if<EntryFault>(&info)) {
    if (DescribeEntryFault(*fault).empty()) std::abort();
    return;
  }
  const auto& parsed = std::get<ResponseInfo>(info);
  if (!Inside(parsed.statusLine, bytes) || parsed.headerLines.size() > bytes.size()) std::abort();
  // Each line gains CR LF where the input had one NUL; the block adds two bytes more.
  if (HeaderBlock(parsed).size() > 2 * bytes.size() + 2) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckResponseInfo(bytes);
  const auto entry = ParseSimpleEntry(bytes);
  if (const auto* parsed = std::get_if<SimpleEntry>(&entry)) {
    if (!Inside(parsed->key, bytes) || !Inside(parsed->body, bytes) || !Inside(parsed->responseInfo, bytes)) {
      std::abort();
    }
    CheckResponseInfo(parsed->responseInfo);
    const auto info = ParseResponseInfo(parsed->responseInfo);
    if (const auto* response = std::get_if<ResponseInfo>(&info)) {
      const auto snapshot = SnapshotOfEntry(UrlOfCacheKey(parsed->key), *parsed, *response, u"/cache/0_0", {});
      if (snapshot.SizeLow != parsed->body.size() || !ParseBodyName(snapshot.LocalFileName)) std::abort();
    }
  }
  return 0;
}
