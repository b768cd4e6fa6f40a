#include "window_picture.h"

#include <wincodec.h>

#include "com_ptr.h"

namespace tracewell::win::test {

int CWindowPicture::Grey(int x, int y) const {
  const std::uint32_t pixel = pixels.at(static_cast<std::size_t>(y * width + x));
  return static_cast<int>(((pixel >> 16) & 0xFF) * 30 + ((pixel >> 8) & 0xFF) * 59 + (pixel & 0xFF) * 11) / 100;
}

CWindowPicture TakeWindowPicture(HWND window) {
  RECT bounds{};
  GetWindowRect(window, &bounds);
  CWindowPicture picture;
  const int width = bounds.right - bounds.left;
  const int height = bounds.bottom - bounds.top;
  if (width <= 0 || height <= 0) return picture;

  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof(format.bmiHeader);
  format.bmiHeader.biWidth = width;
  format.bmiHeader.biHeight = -height;  // top row first
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateDIBSection(screen, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap != nullptr) {
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    if (BitBlt(memory, 0, 0, width, height, screen, bounds.left, bounds.top, SRCCOPY | CAPTUREBLT)) {
      GdiFlush();
      const auto* first = static_cast<const std::uint32_t*>(bits);
      picture.width = width;
      picture.height = height;
      picture.pixels.assign(first, first + static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
      for (std::uint32_t& pixel : picture.pixels) pixel &= 0x00FFFFFF;
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return picture;
}

HRESULT SavePicturePng(const CWindowPicture& picture, const std::wstring& path) {
  ComPtr<IWICImagingFactory> factory;
  HRESULT result = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                    factory.ReceiveVoid());
  if (FAILED(result)) return result;
  const UINT stride = static_cast<UINT>(picture.width) * 4;
  ComPtr<IWICBitmap> bitmap;
  result = factory->CreateBitmapFromMemory(
      static_cast<UINT>(picture.width), static_cast<UINT>(picture.height), GUID_WICPixelFormat32bppBGR, stride,
      stride * static_cast<UINT>(picture.height),
      reinterpret_cast<BYTE*>(const_cast<std::uint32_t*>(picture.pixels.data())), bitmap.Receive());
  if (FAILED(result)) return result;
  ComPtr<IWICStream> stream;
  if (FAILED(result = factory->CreateStream(stream.Receive()))) return result;
  if (FAILED(result = stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE))) return result;
  ComPtr<IWICBitmapEncoder> encoder;
  if (FAILED(result = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.Receive()))) return result;
  if (FAILED(result = encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache))) return result;
  ComPtr<IWICBitmapFrameEncode> frame;
  if (FAILED(result = encoder->CreateNewFrame(frame.Receive(), nullptr))) return result;
  if (FAILED(result = frame->Initialize(nullptr))) return result;
  if (FAILED(result = frame->WriteSource(bitmap.Get(), nullptr))) return result;
  if (FAILED(result = frame->Commit())) return result;
  return encoder->Commit();
}

}  // namespace tracewell::win::test
