#pragma once
// What the cookie and cache manager needs of the desktop: the URL parser, the
// picture loader and the save-file dialog, done with Qt.

#include <QImage>
#include <QPointer>
#include <QWidget>

#include "cache/cache_files.h"
#include "cache/cache_groups.h"
#include "cache/cache_preview.h"

namespace tracewell::app {

class CQtUrlHostParser final : public IUrlHostParser {
 public:
  std::optional<std::u16string> HostName(std::u16string_view url) const override;
};

// A decoded picture: the image the dialog draws.
class CQtPreviewPicture final : public IPreviewPicture {
 public:
  explicit CQtPreviewPicture(QImage image) : m_image(std::move(image)) {}
  // From the image's own resolution; 96 dots per inch when it names none.
  HiMetricSize NaturalSize() const override;
  const QImage& Image() const { return m_image; }

 private:
  QImage m_image;
};

class CQtPictureDecoder final : public IPictureDecoder {
 public:
  std::unique_ptr<IPreviewPicture> Decode(std::string_view bytes) const override;
};

class CQtSaveFileDialog final : public ISaveFileDialog {
 public:
  explicit CQtSaveFileDialog(QWidget* parent) : m_parent(parent) {}
  std::optional<std::u16string> AskSavePath(std::u16string_view fileName, std::u16string_view filter) override;

 private:
  QPointer<QWidget> m_parent;
};

}  // namespace tracewell::app
