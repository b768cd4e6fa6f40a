#pragma once
// The buffer that WinINet fills with one cache entry, and the entry read out of it
// as a snapshot. WinINet puts the entry's strings behind the fixed part; a string
// pointer outside the buffer, or a string without its end inside it, is read as
// empty rather than followed, and the header block (which has a length instead of a
// NUL) is cut at the buffer's end.

#include <windows.h>

#include <wininet.h>

#include <cstdint>
#include <vector>

#include "record/cache_entry_snapshot.h"

namespace tracewell::win {

class CCacheEntryBuffer {
 public:
  // Room for `size` bytes (at least the fixed part of an entry).
  explicit CCacheEntryBuffer(std::uint32_t size);

  INTERNET_CACHE_ENTRY_INFOW* Info() { return reinterpret_cast<INTERNET_CACHE_ENTRY_INFOW*>(m_storage.data()); }
  // The size to declare to WinINet.
  DWORD Size() const { return m_size; }
  CacheEntrySnapshot ToSnapshot() const;

 private:
  std::u16string StringAt(const wchar_t* text) const;
  std::u16string HeadersAt(const wchar_t* text, DWORD length) const;
  const wchar_t* BufferEnd() const;
  bool IsInBuffer(const wchar_t* text) const;

  std::vector<std::uint64_t> m_storage;  // 8-byte aligned, as the entry's pointers need
  DWORD m_size;
};

}  // namespace tracewell::win
