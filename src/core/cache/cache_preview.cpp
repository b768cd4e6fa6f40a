#include "cache/cache_preview.h"

#include <algorithm>
#include <utility>

#include "text/code_page.h"

namespace tracewell {

std::u16string_view FileExtension(std::u16string_view fileName) {
  const std::size_t dot = fileName.rfind(u'.');
  return dot == std::u16string_view::npos ? fileName : fileName.substr(dot + 1);
}

PreviewClass ClassifyPreviewFile(std::u16string_view fileName) {
  const std::u16string_view extension = FileExtension(fileName);
  if (std::ranges::find(kTextPreviewExtensions, extension) != kTextPreviewExtensions.end()) {
    return PreviewClass::kText;
  }
  if (std::ranges::find(kPicturePreviewExtensions, extension) != kPicturePreviewExtensions.end()) {
    return PreviewClass::kPicture;
  }
  return PreviewClass::kNone;
}

void CCachePreview::SetArea(PixelRect area, ScreenResolution resolution) {
  m_area = area;
  m_resolution = resolution;
}

void CCachePreview::PreviewCacheFile(std::u16string_view fileName, std::u16string_view path) {
  switch (ClassifyPreviewFile(fileName)) {
    case PreviewClass::kText:
      m_textShown = true;
      m_picture.reset();  // covered by the text box; a later picture erases the area anyway
      LoadText(path);
      break;
    case PreviewClass::kPicture:
      m_textShown = false;
      PaintPicture(path);
      break;
    case PreviewClass::kNone:
      break;
  }
}

void CCachePreview::LoadText(std::u16string_view path) {
  const auto bytes = m_files.ReadFileBytes(path, kMaxPreviewBytes);
  if (bytes) m_text = FromCodePageUntilNul(*bytes);
}

void CCachePreview::PaintPicture(std::u16string_view path) {
  m_picture.reset();  // the area is erased first, whatever follows
  const auto bytes = m_files.ReadFileBytes(path, kMaxPreviewBytes + 1);
  if (!bytes || bytes->empty() || bytes->size() > kMaxPreviewBytes) return;
  std::unique_ptr<IPreviewPicture> picture = m_pictures.Decode(*bytes);
  if (!picture) return;
  m_pictureRect = PlacePicture(m_area, HiMetricToPixels(picture->NaturalSize(), m_resolution));
  m_picture = std::move(picture);
}

}  // namespace tracewell
