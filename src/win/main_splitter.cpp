#include "main_splitter.h"

#include <windowsx.h>

#include <algorithm>

namespace tracewell::win {

SplitPanes CMainSplitter::Split(const RECT& area, ViewMode mode) const {
  SplitPanes panes{};
  if (mode == ViewMode::kGridOnly) {
    panes.top = area;
  } else if (mode == ViewMode::kViewOnly) {
    panes.bottom = area;
  } else {
    const LONG usable = std::max(0L, area.bottom - area.top - kBarHeight);
    const LONG topHeight = static_cast<LONG>(static_cast<long long>(usable) * m_topShare / kWholeSplitShare);
    panes.top = {area.left, area.top, area.right, area.top + topHeight};
    panes.bar = {area.left, panes.top.bottom, area.right, panes.top.bottom + kBarHeight};
    panes.bottom = {area.left, panes.bar.bottom, area.right, area.bottom};
  }
  return panes;
}

bool CMainSplitter::OnMouse(HWND window, UINT message, LPARAM lParam, const SplitPanes& panes, bool& moved) {
  moved = false;
  const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  switch (message) {
    case WM_LBUTTONDOWN:
      if (!PtInRect(&panes.bar, point)) return false;
      m_dragging = true;
      m_area = {panes.top.left, panes.top.top, panes.bottom.right, panes.bottom.bottom};
      SetCapture(window);
      return true;
    case WM_MOUSEMOVE: {
      if (!m_dragging) return false;
      const LONG usable = m_area.bottom - m_area.top - kBarHeight;
      if (usable <= 0) return true;
      const LONG top = std::clamp(point.y - kBarHeight / 2 - m_area.top, 0L, usable);
      m_topShare = static_cast<int>(static_cast<long long>(top) * kWholeSplitShare / usable);
      moved = true;
      return true;
    }
    case WM_LBUTTONUP:
      if (!m_dragging) return false;
      m_dragging = false;
      ReleaseCapture();
      return true;
    case WM_SETCURSOR: {
      POINT cursor{};
      GetCursorPos(&cursor);
      ScreenToClient(window, &cursor);
      if (!m_dragging && !PtInRect(&panes.bar, cursor)) return false;
      SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32645)));  // IDC_SIZENS
      return true;
    }
    default:
      return false;
  }
}

}  // namespace tracewell::win
