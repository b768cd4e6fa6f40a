#pragma once
// What the cookie and cache manager needs of Windows besides the WinINet cache: the
// URL parser for an entry's host, the cached files read and copied, the save-file
// dialog, and the OLE picture loader for the preview (and the Body tab).

#include <windows.h>

#include <ocidl.h>
#include <olectl.h>

#include "cache/cache_files.h"
#include "cache/cache_groups.h"
#include "cache/cache_preview.h"
#include "com_ptr.h"

namespace tracewell::win {

// The host part through urlmon's domain parsing, into the host-name buffer.
class CWinUrlHostParser final : public IUrlHostParser {
 public:
  std::optional<std::u16string> HostName(std::u16string_view url) const override;
};

class CWinCacheFiles final : public ICacheFiles {
 public:
  std::optional<std::string> ReadFileBytes(std::u16string_view path, std::size_t maxBytes) override;
  std::optional<std::uint32_t> CopyFileReplacing(std::u16string_view from, std::u16string_view to) override;
};

// The system's save dialog over `owner`.
class CWinSaveFileDialog final : public ISaveFileDialog {
 public:
  explicit CWinSaveFileDialog(HWND owner) : m_owner(owner) {}
  void SetOwner(HWND owner) { m_owner = owner; }
  std::optional<std::u16string> AskSavePath(std::u16string_view fileName, std::u16string_view filter) override;

 private:
  HWND m_owner;
};

// A picture OLE loaded; it draws itself.
class CWinPreviewPicture final : public IPreviewPicture {
 public:
  explicit CWinPreviewPicture(ComPtr<IPicture> picture) : m_picture(std::move(picture)) {}
  HiMetricSize NaturalSize() const override;
  // The whole picture stretched over `place`.
  void Draw(HDC dc, const RECT& place) const;

 private:
  ComPtr<IPicture> m_picture;
};

// The picture OLE reads from `bytes` (BMP, GIF, JPEG, icons and metafiles), or
// nothing for bytes it cannot read.
std::unique_ptr<CWinPreviewPicture> LoadOlePicture(std::string_view bytes);

class CWinPictureDecoder final : public IPictureDecoder {
 public:
  std::unique_ptr<IPreviewPicture> Decode(std::string_view bytes) const override;
};

}  // namespace tracewell::win
