#include "bodies/content_decoding.h"

#ifndef TRACEWELL_NO_BROTLI
#include <brotli/decode.h>
#endif
#include <zlib.h>

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "http_text/splitting.h"
#include "text/assert.h"

namespace tracewell {
namespace {

// How one stage of decoding ended.
enum class StageEnd { kComplete, kLimitReached, kDamaged };

struct StageResult {
  std::string bytes;
  StageEnd end = StageEnd::kComplete;
};

constexpr std::size_t kChunk = 64 * 1024;

// Output grows a chunk at a time up to one byte past the bound, so that "more
// than the bound" is seen without decoding further.
class BoundedOutput {
 public:
  explicit BoundedOutput(std::size_t maxBytes) : m_max(maxBytes) {}

  // Room for the decoder's next output; nothing when the bound is passed.
  std::size_t Grow() {
    const std::size_t room = std::min(kChunk, m_max + 1 - m_used);
    m_bytes.resize(m_used + room);
    return room;
  }
  char* Next() { return m_bytes.data() + m_used; }
  void Used(std::size_t count) { m_used += count; }
  bool Full() const { return m_used > m_max; }

  StageResult Finish(StageEnd end) {
    if (Full()) end = StageEnd::kLimitReached;
    m_bytes.resize(std::min(m_used, m_max));
    return {std::move(m_bytes), end};
  }

 private:
  std::size_t m_max;
  std::size_t m_used = 0;
  std::string m_bytes;
};

bool IsGzipStart(std::string_view bytes) {
  return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0x1F &&
         static_cast<unsigned char>(bytes[1]) == 0x8B;
}

// A zlib header: deflate with a window of at most 32 KiB and a valid check value.
bool IsZlibStart(std::string_view bytes) {
  if (bytes.size() < 2) return false;
  const auto cmf = static_cast<unsigned char>(bytes[0]);
  const auto flg = static_cast<unsigned char>(bytes[1]);
  return (cmf & 0x0F) == 8 && (cmf >> 4) <= 7 && ((cmf << 8) | flg) % 31 == 0;
}

// zlib's inflate with `windowBits` (16 + 15 gzip, 15 zlib, -15 raw). A gzip body may
// hold several members, one after the other.
StageResult Inflate(std::string_view input, int windowBits, std::size_t maxBytes) {
  z_stream stream{};
  if (inflateInit2(&stream, windowBits) != Z_OK) return {{}, StageEnd::kDamaged};
  const std::unique_ptr<z_stream, int (*)(z_stream*)> owner(&stream, &inflateEnd);
  BoundedOutput out(maxBytes);
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
  stream.avail_in = static_cast<uInt>(input.size());
  TRACEWELL_ASSERT(stream.avail_in == input.size());
  while (!out.Full()) {
    const std::size_t room = out.Grow();
    stream.next_out = reinterpret_cast<Bytef*>(out.Next());
    stream.avail_out = static_cast<uInt>(room);
    const int result = inflate(&stream, Z_NO_FLUSH);
    out.Used(room - stream.avail_out);
    if (result == Z_STREAM_END) {
      const std::string_view rest(reinterpret_cast<const char*>(stream.next_in), stream.avail_in);
      if (windowBits <= 15 || !IsGzipStart(rest)) return out.Finish(StageEnd::kComplete);
      if (inflateReset(&stream) != Z_OK) return out.Finish(StageEnd::kDamaged);
    } else if (result != Z_OK && !(result == Z_BUF_ERROR && stream.avail_out == 0)) {
      return out.Finish(StageEnd::kDamaged);  // damaged, or the input ended early
    }
  }
  return out.Finish(StageEnd::kLimitReached);
}

#ifndef TRACEWELL_NO_BROTLI
StageResult Brotli(std::string_view input, std::size_t maxBytes) {
  const std::unique_ptr<BrotliDecoderState, void (*)(BrotliDecoderState*)> state(
      BrotliDecoderCreateInstance(nullptr, nullptr, nullptr), &BrotliDecoderDestroyInstance);
  if (!state) return {{}, StageEnd::kDamaged};
  BoundedOutput out(maxBytes);
  auto next = reinterpret_cast<const std::uint8_t*>(input.data());
  std::size_t available = input.size();
  while (!out.Full()) {
    std::size_t room = out.Grow();
    auto target = reinterpret_cast<std::uint8_t*>(out.Next());
    const std::size_t offered = room;
    const auto result =
        BrotliDecoderDecompressStream(state.get(), &available, &next, &room, &target, nullptr);
    out.Used(offered - room);
    if (result == BROTLI_DECODER_RESULT_SUCCESS) return out.Finish(StageEnd::kComplete);
    if (result != BROTLI_DECODER_RESULT_NEEDS_MORE_OUTPUT) return out.Finish(StageEnd::kDamaged);
  }
  return out.Finish(StageEnd::kLimitReached);
}
#endif

// The encodings in the order they were applied, without "identity".
std::vector<std::u16string> EncodingList(std::u16string_view header) {
  std::vector<std::u16string> list;
  ForEachPiece(header, u",", [&](std::u16string_view piece) {
    const std::u16string name = AsciiLowercase(Trim(piece));
    if (!name.empty() && name != u"identity") list.push_back(name);
  });
  return list;
}

// One stage; none for an encoding this build does not undo.
std::optional<StageResult> DecodeStage(std::u16string_view encoding, std::string_view input,
                                       std::size_t maxBytes) {
  if (encoding == u"gzip" || encoding == u"x-gzip") return Inflate(input, 16 + MAX_WBITS, maxBytes);
  if (encoding == u"deflate") return Inflate(input, IsZlibStart(input) ? MAX_WBITS : -MAX_WBITS, maxBytes);
#ifndef TRACEWELL_NO_BROTLI
  if (encoding == u"br") return Brotli(input, maxBytes);
#endif
  return std::nullopt;
}

// Encodings this program knows that the build left out (brotli has no library on
// some platforms): said so, rather than called unknown.
#ifdef TRACEWELL_NO_BROTLI
constexpr std::array<std::u16string_view, 1> kLeftOutOfThisBuild = {u"br"};
#else
constexpr std::array<std::u16string_view, 0> kLeftOutOfThisBuild = {};
#endif

bool IsLeftOutOfThisBuild(std::u16string_view encoding) {
  return std::ranges::find(kLeftOutOfThisBuild, encoding) != kLeftOutOfThisBuild.end();
}

}  // namespace

DecodedContent DecodeContent(std::string body, std::u16string_view contentEncoding, std::size_t maxBytes) {
  DecodedContent decoded;
  decoded.bytes = std::move(body);
  const auto encodings = EncodingList(contentEncoding);
  // After a stage stopped at the bound or at damage, the next ones see a cut stream:
  // their own early end is expected and not reported.
  for (auto encoding = encodings.rbegin(); encoding != encodings.rend(); ++encoding) {
    auto stage = DecodeStage(*encoding, decoded.bytes, maxBytes);
    if (!stage) {
      decoded.status =
          IsLeftOutOfThisBuild(*encoding) ? DecodeStatus::kNotInThisBuild : DecodeStatus::kUnknownEncoding;
      decoded.encoding = *encoding;
      return decoded;
    }
    decoded.bytes = std::move(stage->bytes);
    if (decoded.status != DecodeStatus::kComplete) continue;
    if (stage->end == StageEnd::kLimitReached) decoded.status = DecodeStatus::kLimitReached;
    if (stage->end == StageEnd::kDamaged) {
      decoded.status = DecodeStatus::kDamaged;
      decoded.encoding = *encoding;
    }
  }
  return decoded;
}

}  // namespace tracewell
