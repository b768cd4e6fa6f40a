#pragma once
// The ten columns of the session grid and the texts of a row.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "capture/column_mask.h"
#include "record/http_transaction.h"
#include "views/text_rows.h"

namespace tracewell {

enum class ColumnAlignment { kLeft, kRight };

struct GridColumnInfo {
  std::u16string_view header;
  int width;  // pixels
  ColumnAlignment alignment;
  std::uint32_t updateBit;  // bit of the update mask that rewrites the cell; 0 = never
};

inline constexpr std::array<GridColumnInfo, kGridColumnCount> kGridColumns = {{
    {u"No.", 50, ColumnAlignment::kRight, 0},
    {u"Started", 100, ColumnAlignment::kRight, 0},
    {u"Duration(s)", 80, ColumnAlignment::kRight, kMaskDuration},
    {u"Sent", 70, ColumnAlignment::kRight, kMaskSent},
    {u"Method", 70, ColumnAlignment::kLeft, kMaskMethod},
    {u"Result", 80, ColumnAlignment::kLeft, kMaskResult},
    {u"Size", 70, ColumnAlignment::kRight, kMaskSize},
    {u"Type", 70, ColumnAlignment::kLeft, kMaskType},
    {u"URL", 450, ColumnAlignment::kLeft, kMaskUrl},
    {u"IP Address", 100, ColumnAlignment::kLeft, kMaskIpAddress},
}};

using GridRowTexts = std::array<std::u16string, kGridColumnCount>;

// "%d:%d:%d %d" of hour, minute, second and milliseconds: 9:05:03.007 is "9:5:3 7".
std::u16string StartedText(const SystemTime& started);

// The ten cell texts of a row added as row number `rowNumber` (0 for the first row).
GridRowTexts NewRowTexts(const CHttpTransaction& record, int rowNumber);

}  // namespace tracewell
