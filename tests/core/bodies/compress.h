#pragma once
// Bodies compressed the way servers send them, made with the real zlib and brotli
// encoders.

#include <brotli/encode.h>

#include <string>
#include <string_view>

#include "zlib_compress.h"

namespace tracewell::testing {

inline std::string Brotli(std::string_view bytes) {
  std::size_t size = BrotliEncoderMaxCompressedSize(bytes.size());
  std::string out(size, '\0');
  BrotliEncoderCompress(5, BROTLI_DEFAULT_WINDOW, BROTLI_MODE_GENERIC, bytes.size(),
                        reinterpret_cast<const std::uint8_t*>(bytes.data()), &size,
                        reinterpret_cast<std::uint8_t*>(out.data()));
  out.resize(size);
  return out;
}

}  // namespace tracewell::testing
