#pragma once
// The bytes of a bitmap file of width × height pixels of one colour (0xRRGGBB), 24
// bits a pixel, at 96 dots per inch: a picture the tests write without a tool.

#include <windows.h>

#include <cstdint>
#include <string>

namespace tracewell::win::test {

inline std::string BitmapFile(int width, int height, std::uint32_t colour) {
  const int stride = (width * 3 + 3) / 4 * 4;
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  info.biSize = sizeof(info);
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  info.biSizeImage = static_cast<DWORD>(stride * height);
  info.biXPelsPerMeter = info.biYPelsPerMeter = 3780;
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + info.biSizeImage;
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
  bytes.append(reinterpret_cast<const char*>(&info), sizeof(info));
  std::string row(static_cast<std::size_t>(stride), '\0');
  for (int x = 0; x < width; ++x) {
    row[static_cast<std::size_t>(x * 3)] = static_cast<char>(colour & 0xFF);
    row[static_cast<std::size_t>(x * 3 + 1)] = static_cast<char>((colour >> 8) & 0xFF);
    row[static_cast<std::size_t>(x * 3 + 2)] = static_cast<char>((colour >> 16) & 0xFF);
  }
  for (int y = 0; y < height; ++y) bytes += row;
  return bytes;
}

}  // namespace tracewell::win::test
