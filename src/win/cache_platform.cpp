#include "cache_platform.h"

#include <urlmon.h>

#include <cstring>
#include <limits>

#include "file_dialog.h"
#include "wide_text.h"

namespace tracewell::win {
namespace {

// Closes a file handle when it goes.
class CFileHandle {
 public:
  explicit CFileHandle(HANDLE handle) : m_handle(handle) {}
  ~CFileHandle() {
    if (m_handle != INVALID_HANDLE_VALUE) CloseHandle(m_handle);
  }
  CFileHandle(const CFileHandle&) = delete;
  CFileHandle& operator=(const CFileHandle&) = delete;
  HANDLE Get() const { return m_handle; }

 private:
  HANDLE m_handle;
};

std::uint32_t HiMetricLength(OLE_XSIZE_HIMETRIC length) { return length < 0 ? 0 : static_cast<std::uint32_t>(length); }

}  // namespace

std::optional<std::u16string> CWinUrlHostParser::HostName(std::u16string_view url) const {
  const std::wstring text = Wide(url);
  wchar_t host[kHostNameBufferLength] = {};
  DWORD length = 0;
  if (CoInternetParseUrl(text.c_str(), PARSE_DOMAIN, 0, host, kHostNameBufferLength, &length, 0) != S_OK) {
    return std::nullopt;
  }
  if (length >= kHostNameBufferLength) return std::nullopt;
  return std::u16string(host, host + length);
}

std::optional<std::string> CWinCacheFiles::ReadFileBytes(std::u16string_view path, std::size_t maxBytes) {
  const CFileHandle file(CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.Get() == INVALID_HANDLE_VALUE) return std::nullopt;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0) return std::nullopt;
  const std::size_t wanted = std::min<std::uint64_t>(static_cast<std::uint64_t>(size.QuadPart), maxBytes);
  std::string bytes(wanted, '\0');
  std::size_t done = 0;
  while (done < wanted) {
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(wanted - done, std::numeric_limits<DWORD>::max()));
    DWORD read = 0;
    if (!ReadFile(file.Get(), bytes.data() + done, chunk, &read, nullptr)) return std::nullopt;
    if (read == 0) break;  // the file got shorter meanwhile
    done += read;
  }
  bytes.resize(done);
  return bytes;
}

std::optional<std::uint32_t> CWinCacheFiles::CopyFileReplacing(std::u16string_view from, std::u16string_view to) {
  if (CopyFileW(Wide(from).c_str(), Wide(to).c_str(), FALSE)) return std::nullopt;
  return GetLastError();
}

std::optional<std::u16string> CWinSaveFileDialog::AskSavePath(std::u16string_view fileName,
                                                              std::u16string_view filter) {
  FileDialogRequest request;
  request.owner = m_owner;
  request.save = true;
  // The filter's one entry shows its text and matches every file.
  request.filter = Wide(filter);
  request.filter += L'\0';
  request.filter += L"*.*";
  request.filter += L'\0';
  request.proposedName = Wide(fileName);
  request.checkExisting = false;
  const auto path = RunFileDialog(request);
  if (!path) return std::nullopt;
  const std::wstring chosen = path->wstring();
  return std::u16string(chosen.begin(), chosen.end());
}

HiMetricSize CWinPreviewPicture::NaturalSize() const {
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  if (FAILED(m_picture->get_Width(&width)) || FAILED(m_picture->get_Height(&height))) return {};
  return {HiMetricLength(width), HiMetricLength(height)};
}

void CWinPreviewPicture::Draw(HDC dc, const RECT& place) const {
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  if (FAILED(m_picture->get_Width(&width)) || FAILED(m_picture->get_Height(&height))) return;
  // The source rectangle runs bottom-up in HIMETRIC units.
  m_picture->Render(dc, place.left, place.top, place.right - place.left, place.bottom - place.top, 0, height, width,
                    -height, nullptr);
}

std::unique_ptr<CWinPreviewPicture> LoadOlePicture(std::string_view bytes) {
  if (bytes.empty() || bytes.size() > std::numeric_limits<LONG>::max()) return nullptr;
  const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (memory == nullptr) return nullptr;
  void* block = GlobalLock(memory);
  if (block == nullptr) {
    GlobalFree(memory);
    return nullptr;
  }
  std::memcpy(block, bytes.data(), bytes.size());
  GlobalUnlock(memory);
  ComPtr<IStream> stream;
  if (FAILED(CreateStreamOnHGlobal(memory, TRUE, stream.Receive()))) {
    GlobalFree(memory);
    return nullptr;
  }
  ComPtr<IPicture> picture;
  if (FAILED(OleLoadPicture(stream.Get(), static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                            picture.ReceiveVoid()))) {
    return nullptr;
  }
  return std::make_unique<CWinPreviewPicture>(std::move(picture));
}

std::unique_ptr<IPreviewPicture> CWinPictureDecoder::Decode(std::string_view bytes) const {
  return LoadOlePicture(bytes);
}

}  // namespace tracewell::win
