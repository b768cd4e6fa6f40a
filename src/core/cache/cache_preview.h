#pragma once
// The preview below the manager's file list: a cached file shown as text or as a
// picture by its extension, or not at all.

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "cache/cache_files.h"
#include "cache/picture_placement.h"

namespace tracewell {

enum class PreviewClass { kNone, kText, kPicture };

// Compared exactly, case included.
inline constexpr std::array<std::u16string_view, 6> kTextPreviewExtensions = {u"css", u"html", u"htm",
                                                                              u"js",  u"php",  u"xml"};
inline constexpr std::array<std::u16string_view, 5> kPicturePreviewExtensions = {u"bmp", u"jpg", u"png",
                                                                                 u"gif", u"ico"};

// A preview reads no more of a file than this: a longer text shows its start, a
// larger picture is not drawn.
inline constexpr std::size_t kMaxPreviewBytes = std::size_t{32} << 20;

// The text after the last "."; a name without one is its own extension.
std::u16string_view FileExtension(std::u16string_view fileName);
PreviewClass ClassifyPreviewFile(std::u16string_view fileName);

// A picture decoded by the platform's loader; the host draws it.
class IPreviewPicture {
 public:
  virtual ~IPreviewPicture() = default;
  virtual HiMetricSize NaturalSize() const = 0;
};

class IPictureDecoder {
 public:
  virtual ~IPictureDecoder() = default;
  // The picture in `bytes` (bmp, jpeg, png, gif or icon), or null when it is none.
  virtual std::unique_ptr<IPreviewPicture> Decode(std::string_view bytes) const = 0;
};

class CCachePreview {
 public:
  CCachePreview(ICacheFiles& files, const IPictureDecoder& pictures) : m_files(files), m_pictures(pictures) {}

  // The text box's rectangle, which the picture shares, and the screen it is on.
  void SetArea(PixelRect area, ScreenResolution resolution);

  // Shows a text file in the text box, or hides the box and paints a picture file;
  // any other file changes nothing. A file that cannot be read leaves the text box
  // its text, or the picture area erased.
  void PreviewCacheFile(std::u16string_view fileName, std::u16string_view path);

  bool IsTextShown() const { return m_textShown; }
  const std::u16string& Text() const { return m_text; }
  // The picture painted into the area, or null while the area is erased or the
  // text box covers it.
  const IPreviewPicture* Picture() const { return m_picture.get(); }
  PixelRect PictureRect() const { return m_pictureRect; }

 private:
  void LoadText(std::u16string_view path);
  void PaintPicture(std::u16string_view path);

  ICacheFiles& m_files;
  const IPictureDecoder& m_pictures;
  PixelRect m_area;
  ScreenResolution m_resolution;
  bool m_textShown = false;
  std::u16string m_text;
  std::unique_ptr<IPreviewPicture> m_picture;
  PixelRect m_pictureRect;
};

}  // namespace tracewell
