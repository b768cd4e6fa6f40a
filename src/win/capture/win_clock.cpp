#include "capture/win_clock.h"

#include <windows.h>

namespace tracewell::win {

SystemTime CWinClock::LocalNow() const {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDayOfWeek, now.wDay, now.wHour, now.wMinute, now.wSecond,
          now.wMilliseconds};
}

std::optional<FileTime> CWinClock::LocalFromUtc(FileTime utc) const {
  const FILETIME in{static_cast<DWORD>(utc.ticks & 0xFFFFFFFF), static_cast<DWORD>(utc.ticks >> 32)};
  FILETIME local{};
  if (!FileTimeToLocalFileTime(&in, &local)) return std::nullopt;
  return FileTime{(std::uint64_t{local.dwHighDateTime} << 32) | local.dwLowDateTime};
}

}  // namespace tracewell::win
