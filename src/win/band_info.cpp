#include "band_info.h"

#include <cwchar>
#include <iterator>

namespace tracewell::win {

void CBandInfo::Fill(DESKBANDINFO& info) const {
  if (info.dwMask & DBIM_MINSIZE) info.ptMinSize = minSize;
  if (info.dwMask & DBIM_MAXSIZE) info.ptMaxSize = maxSize;
  if (info.dwMask & DBIM_INTEGRAL) info.ptIntegral = integral;
  if (info.dwMask & DBIM_ACTUAL) info.ptActual = actualSize;
  if (info.dwMask & DBIM_TITLE) {
    std::wcsncpy(info.wszTitle, title, std::size(info.wszTitle) - 1);
    info.wszTitle[std::size(info.wszTitle) - 1] = L'\0';
  }
  if (info.dwMask & DBIM_MODEFLAGS) info.dwModeFlags = modeFlags;
  if (info.dwMask & DBIM_BKCOLOR) info.crBkgnd = background;
}

}  // namespace tracewell::win
