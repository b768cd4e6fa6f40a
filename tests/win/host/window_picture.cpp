#include "window_picture.h"

#include <wincodec.h>

#include <functional>

#include "com_ptr.h"

namespace tracewell::win::test {

int CWindowPicture::Grey(int x, int y) const {
  const std::uint32_t pixel = Pixel(x, y);
  return static_cast<int>(((pixel >> 16) & 0xFF) * 30 + ((pixel >> 8) & 0xFF) * 59 + (pixel & 0xFF) * 11) / 100;
}

namespace {

// The pixels `draw` leaves in a bitmap of width × height; empty when it fails.
CWindowPicture DrawnPicture(int width, int height, const std::function<bool(HDC)>& draw) {
  CWindowPicture picture;
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
    if (draw(memory)) {
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

}  // namespace

CWindowPicture TakeWindowPicture(HWND window) {
  RECT bounds{};
  GetWindowRect(window, &bounds);
  return DrawnPicture(bounds.right - bounds.left, bounds.bottom - bounds.top, [&](HDC memory) {
    const HDC screen = GetDC(nullptr);
    const BOOL copied = BitBlt(memory, 0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top, screen,
                               bounds.left, bounds.top, SRCCOPY | CAPTUREBLT);
    ReleaseDC(nullptr, screen);
    return copied != FALSE;
  });
}

CWindowPicture PrintWindowClient(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return DrawnPicture(client.right, client.bottom, [&](HDC memory) {
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
    return true;
  });
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
