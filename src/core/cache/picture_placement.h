#pragma once
// Where a previewed picture goes: its natural size (0.01 mm units) in screen pixels,
// and its place in the preview area, each axis on its own.

#include <cstdint>

namespace tracewell {

struct PixelRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

struct PixelSize {
  int width = 0;
  int height = 0;

  friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

// A picture's natural size in units of 0.01 mm.
struct HiMetricSize {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
};

// The screen's pixels per logical inch, horizontally and vertically.
struct ScreenResolution {
  int dotsPerInchX = 96;
  int dotsPerInchY = 96;
};

inline constexpr int kHiMetricPerInch = 2540;

// units x pixels per inch / 2540 on each axis, rounded down; no less than 0 and no
// more than an int holds.
PixelSize HiMetricToPixels(HiMetricSize size, ScreenResolution resolution);

// On each axis: an area smaller than the picture gets the picture squeezed to it
// from its start; otherwise the picture keeps its length, centred with the spare
// pixels halved by integer division. Aspect ratio is not kept.
PixelRect PlacePicture(PixelRect area, PixelSize picture);

}  // namespace tracewell
