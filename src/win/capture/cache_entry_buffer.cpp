#include "capture/cache_entry_buffer.h"

#include <algorithm>

namespace tracewell::win {
namespace {

FileTime Ticks(const FILETIME& time) {
  return {(std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime};
}

}  // namespace

CCacheEntryBuffer::CCacheEntryBuffer(std::uint32_t size)
    : m_storage((std::max<std::size_t>(size, sizeof(INTERNET_CACHE_ENTRY_INFOW)) + 7) / 8),
      m_size(static_cast<DWORD>(m_storage.size() * 8)) {}

std::u16string CCacheEntryBuffer::StringAt(const wchar_t* text) const {
  const wchar_t* end = BufferEnd();
  if (!IsInBuffer(text)) return {};
  const wchar_t* stop = std::find(text, end, L'\0');
  if (stop == end) return {};
  return std::u16string(text, stop);
}

// The header block has a length (in characters) and need not end in a NUL.
std::u16string CCacheEntryBuffer::HeadersAt(const wchar_t* text, DWORD length) const {
  if (!IsInBuffer(text)) return {};
  const wchar_t* end = text + std::min<std::size_t>(length, static_cast<std::size_t>(BufferEnd() - text));
  return std::u16string(text, std::find(text, end, L'\0'));
}

const wchar_t* CCacheEntryBuffer::BufferEnd() const {
  return reinterpret_cast<const wchar_t*>(m_storage.data()) + m_size / sizeof(wchar_t);
}

bool CCacheEntryBuffer::IsInBuffer(const wchar_t* text) const {
  return text != nullptr && text >= reinterpret_cast<const wchar_t*>(m_storage.data()) && text < BufferEnd();
}

CacheEntrySnapshot CCacheEntryBuffer::ToSnapshot() const {
  const auto& info = *reinterpret_cast<const INTERNET_CACHE_ENTRY_INFOW*>(m_storage.data());
  CacheEntrySnapshot entry;
  entry.SourceUrlName = StringAt(info.lpszSourceUrlName);
  entry.LocalFileName = StringAt(info.lpszLocalFileName);
  entry.CacheEntryType = info.CacheEntryType;
  entry.UseCount = info.dwUseCount;
  entry.HitRate = info.dwHitRate;
  entry.SizeLow = info.dwSizeLow;
  entry.LastModifiedTime = Ticks(info.LastModifiedTime);
  entry.ExpireTime = Ticks(info.ExpireTime);
  entry.LastAccessTime = Ticks(info.LastAccessTime);
  entry.LastSyncTime = Ticks(info.LastSyncTime);
  entry.HeaderInfo = HeadersAt(info.lpHeaderInfo, info.dwHeaderInfoSize);
  entry.FileExtension = StringAt(info.lpszFileExtension);
  entry.ExemptDelta = info.dwExemptDelta;
  return entry;
}

}  // namespace tracewell::win
