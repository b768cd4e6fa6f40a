#pragma once
// What a window shows on the screen, as pixels, and those pixels as a PNG file
// (through the imaging component, so no tool outside Windows is needed).

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tracewell::win::test {

struct CWindowPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top row first

  std::uint32_t Pixel(int x, int y) const { return pixels.at(static_cast<std::size_t>(y * width + x)); }
  // The grey level (0 black to 255 white) of a pixel.
  int Grey(int x, int y) const;
};

// The screen's pixels under the window; empty when the screen cannot be read.
CWindowPicture TakeWindowPicture(HWND window);

// What the window draws of its client area when asked to print it (WM_PRINTCLIENT),
// screen or not.
CWindowPicture PrintWindowClient(HWND window);

// Writes the picture as a PNG file; the failing call's result otherwise.
HRESULT SavePicturePng(const CWindowPicture& picture, const std::wstring& path);

}  // namespace tracewell::win::test
