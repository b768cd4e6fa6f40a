#pragma once
// Bodies compressed with the real zlib encoder, as servers send gzip and deflate.
// Apart from brotli's, so that the builds without brotli use them too.

#include <zlib.h>

#include <string>
#include <string_view>

namespace tracewell::testing {

// windowBits: 16 + 15 gzip, 15 zlib, -15 raw deflate.
inline std::string Deflated(std::string_view bytes, int windowBits) {
  z_stream stream{};
  deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&stream, static_cast<uLong>(bytes.size())), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  stream.avail_in = static_cast<uInt>(bytes.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

inline std::string Gzipped(std::string_view bytes) { return Deflated(bytes, 16 + 15); }

}  // namespace tracewell::testing
