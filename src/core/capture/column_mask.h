#pragma once
// The session grid's columns by name, and the bits of an update message's column
// mask: a column's bit is 1 << its index, and a mask names the cells an update
// rewrites; one bit beyond the columns says that the record has ended.

#include <cstddef>
#include <cstdint>

namespace tracewell {

enum class GridColumn : std::size_t {
  kNumber,
  kStarted,
  kDuration,
  kSent,
  kMethod,
  kResult,
  kSize,
  kType,
  kUrl,
  kIpAddress,
};

inline constexpr std::size_t kGridColumnCount = 10;

constexpr std::uint32_t MaskOf(GridColumn column) {
  return 1u << static_cast<std::size_t>(column);
}

inline constexpr std::uint32_t kMaskDuration = MaskOf(GridColumn::kDuration);
inline constexpr std::uint32_t kMaskSent = MaskOf(GridColumn::kSent);
inline constexpr std::uint32_t kMaskMethod = MaskOf(GridColumn::kMethod);
inline constexpr std::uint32_t kMaskResult = MaskOf(GridColumn::kResult);
inline constexpr std::uint32_t kMaskSize = MaskOf(GridColumn::kSize);
inline constexpr std::uint32_t kMaskType = MaskOf(GridColumn::kType);
inline constexpr std::uint32_t kMaskUrl = MaskOf(GridColumn::kUrl);
inline constexpr std::uint32_t kMaskIpAddress = MaskOf(GridColumn::kIpAddress);
inline constexpr std::uint32_t kMaskFinished = 1u << kGridColumnCount;

}  // namespace tracewell
