#include "inspector/rtf_writer.h"

#include <algorithm>
#include <utility>

#include "inspector/colorizers.h"

namespace tracewell {

std::size_t RtfBodyCapacity(std::size_t length) {
  const std::size_t capacity = 8 * length;
  return capacity < 4000 ? 8000 : capacity;
}

namespace colorize {
namespace {

// The buffer a text of `length` characters starts with: HTML and scripts come to
// about twice their length. Reserving the whole capacity (eight times the length)
// instead puts a large text past the allocator's mapping threshold, so that every
// call gets fresh pages from the kernel and pays a page fault per 4 KiB written.
std::size_t FirstReserve(std::size_t length) { return 2 * length + 4096; }

}  // namespace

CRtfWriter::CRtfWriter(std::u16string_view header, std::size_t textLength) {
  const std::size_t capacity = RtfBodyCapacity(textLength);
  m_out.reserve(header.size() + std::min(capacity, FirstReserve(textLength)) + kRtfTrailer.size());
  m_out.append(header);
  m_stop = header.size() + capacity - kRtfCapacityMargin;
}

void CRtfWriter::PutEscaped(char16_t c) {
  switch (c) {
    case u'\\': Put(uR"(\\)"); break;
    case u'{': Put(uR"(\{)"); break;
    case u'}': Put(uR"(\})"); break;
    default: Put(c); break;
  }
}

std::u16string CRtfWriter::Finish(std::u16string_view trailer) && {
  m_out.append(trailer);
  return std::move(m_out);
}

bool StartsWithIgnoringCase(std::u16string_view text, std::size_t at,
                            std::u16string_view prefix) {
  if (at > text.size() || text.size() - at < prefix.size()) return false;
  for (std::size_t k = 0; k < prefix.size(); ++k) {
    char16_t c = text[at + k];
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - (u'a' - u'A'));
    if (c != prefix[k]) return false;
  }
  return true;
}

}  // namespace colorize
}  // namespace tracewell
