#include "session_io/byte_stream.h"

#include <algorithm>
#include <cstring>

namespace tracewell {

std::size_t MemoryByteSource::Read(char* dest, std::size_t count) {
  const std::size_t n = std::min(count, m_data.size() - m_position);
  if (n > 0) std::memcpy(dest, m_data.data() + m_position, n);
  m_position += n;
  return n;
}

}  // namespace tracewell
