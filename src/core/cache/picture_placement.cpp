#include "cache/picture_placement.h"

#include <algorithm>
#include <limits>

namespace tracewell {
namespace {

int UnitsToPixels(std::uint32_t units, int dotsPerInch) {
  const std::int64_t pixels = std::int64_t{units} * dotsPerInch / kHiMetricPerInch;
  return static_cast<int>(std::clamp<std::int64_t>(pixels, 0, std::numeric_limits<int>::max()));
}

struct AxisPlace {
  int start;
  int length;
};

AxisPlace PlaceOnAxis(int areaStart, int areaLength, int pictureLength) {
  if (areaLength < pictureLength) return {areaStart, areaLength};
  return {areaStart + (areaLength - pictureLength) / 2, pictureLength};
}

}  // namespace

PixelSize HiMetricToPixels(HiMetricSize size, ScreenResolution resolution) {
  return {UnitsToPixels(size.width, resolution.dotsPerInchX),
          UnitsToPixels(size.height, resolution.dotsPerInchY)};
}

PixelRect PlacePicture(PixelRect area, PixelSize picture) {
  const AxisPlace x = PlaceOnAxis(area.left, area.width, picture.width);
  const AxisPlace y = PlaceOnAxis(area.top, area.height, picture.height);
  return {x.start, y.start, x.length, y.length};
}

}  // namespace tracewell
