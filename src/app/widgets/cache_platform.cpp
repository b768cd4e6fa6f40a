#include "widgets/cache_platform.h"

#include <QFileDialog>
#include <QUrl>
#include <cmath>

#include "widgets/qt_text.h"

namespace tracewell::app {
namespace {

constexpr double kHiMetricPerMeter = 100000.0;
constexpr double kDotsPerMeterAt96Dpi = 96.0 / 0.0254;

std::uint32_t HiMetricLength(int pixels, int dotsPerMeter) {
  const double perMeter = dotsPerMeter > 0 ? dotsPerMeter : kDotsPerMeterAt96Dpi;
  return static_cast<std::uint32_t>(std::lround(pixels * kHiMetricPerMeter / perMeter));
}

}  // namespace

std::optional<std::u16string> CQtUrlHostParser::HostName(std::u16string_view url) const {
  const QUrl parsed(ToQString(url), QUrl::StrictMode);
  if (!parsed.isValid() || parsed.host().isEmpty()) return std::nullopt;
  return FromQString(parsed.host());
}

HiMetricSize CQtPreviewPicture::NaturalSize() const {
  return {HiMetricLength(m_image.width(), m_image.dotsPerMeterX()),
          HiMetricLength(m_image.height(), m_image.dotsPerMeterY())};
}

std::unique_ptr<IPreviewPicture> CQtPictureDecoder::Decode(std::string_view bytes) const {
  QImage image;
  if (!image.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<int>(bytes.size()))) {
    return nullptr;
  }
  return std::make_unique<CQtPreviewPicture>(std::move(image));
}

std::optional<std::u16string> CQtSaveFileDialog::AskSavePath(std::u16string_view fileName,
                                                             std::u16string_view filter) {
  const QString path = QFileDialog::getSaveFileName(m_parent, QString(), ToQString(fileName), ToQString(filter),
                                                    nullptr, QFileDialog::DontConfirmOverwrite);
  if (path.isEmpty()) return std::nullopt;
  return FromQString(path);
}

}  // namespace tracewell::app
