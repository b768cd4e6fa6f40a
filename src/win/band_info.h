#pragma once
// What the band tells the browser about itself through IDeskBand::GetBandInfo.

#include <windows.h>

#include <shobjidl.h>

namespace tracewell::win {

struct CBandInfo {
  POINTL minSize{0, 0};
  POINTL maxSize{-1, -1};
  POINTL integral{1, 1};
  POINTL actualSize{0, 0};
  const wchar_t* title = L"Tracewell Version 1.0";
  DWORD modeFlags = DBIMF_VARIABLEHEIGHT;
  COLORREF background = 0;
  // As the browser last gave them to GetBandInfo.
  DWORD bandId = 0;
  DWORD viewMode = 0;

  // Fills what `info`'s mask asks for.
  void Fill(DESKBANDINFO& info) const;
};

}  // namespace tracewell::win
