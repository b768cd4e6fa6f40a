#pragma once
// The Body tab's view of a record's request and response bodies: a summary (sizes,
// how the body is shown, and whatever stopped it being shown whole, or why there is
// no body) and the body as text, JSON laid out, a picture or a hex dump.

#include <cstddef>
#include <string>

#include "cache/cache_files.h"
#include "http_text/record_bodies.h"

namespace tracewell {

enum class BodyKind { kNone, kText, kJson, kImage, kBinary };

struct BodyView {
  BodyKind kind = BodyKind::kNone;
  std::u16string summary;  // lines, each ending in "\n"
  std::u16string text;     // the text, the JSON laid out, or the hex dump (of a picture too)
  std::string image;       // a picture's bytes
};

// A store's file is read up to this size; decoding stops at the second.
inline constexpr std::size_t kStoredBodyReadLimit = 32 * 1024 * 1024;
inline constexpr std::size_t kDecodedBodyLimit = 64 * 1024 * 1024;
// Hex dumps show this much; JSON larger than this is shown as it came.
inline constexpr std::size_t kHexDumpLimit = 1024 * 1024;
inline constexpr std::size_t kJsonLayoutLimit = 8 * 1024 * 1024;

BodyView RequestBodyView(const RecordBodies& bodies);
// A stored body is read through `files` and decoded by its Content-Encoding.
BodyView ResponseBodyView(const RecordBodies& bodies, ICacheFiles& files);

// The summary, then the text ending in a line break.
std::u16string BodyViewText(const BodyView& view);

// The decoded response bodies that the stores in `files` keep.
class CStoredBodies final : public IStoredBodies {
 public:
  explicit CStoredBodies(ICacheFiles& files) : m_files(files) {}
  std::optional<std::string> DecodedResponseBody(const CHttpTransaction& record) override;

 private:
  ICacheFiles& m_files;
};

}  // namespace tracewell
