#pragma once
// The ten columns of the session grid and the texts of a row.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "record/http_transaction.h"
#include "views/text_rows.h"

namespace tracewell {

enum class ColumnAlignment { kLeft, kRight };

struct GridColumn {
  std::u16string_view header;
  int width;  // pixels
  ColumnAlignment alignment;
  std::uint32_t updateBit;  // bit of the update mask that rewrites the cell; 0 = never
};

inline constexpr std::size_t kGridColumnCount = 10;

inline constexpr std::array<GridColumn, kGridColumnCount> kGridColumns = {{
    {u"No.", 50, ColumnAlignment::kRight, 0},
    {u"Started", 100, ColumnAlignment::kRight, 0},
    {u"Duration(s)", 80, ColumnAlignment::kRight, 0x4},
    {u"Sent", 70, ColumnAlignment::kRight, 0x8},
    {u"Method", 70, ColumnAlignment::kLeft, 0x10},
    {u"Result", 80, ColumnAlignment::kLeft, 0x20},
    {u"Size", 70, ColumnAlignment::kRight, 0x40},
    {u"Type", 70, ColumnAlignment::kLeft, 0x80},
    {u"URL", 450, ColumnAlignment::kLeft, 0x100},
    {u"IP Address", 100, ColumnAlignment::kLeft, 0x200},
}};

using GridRowTexts = std::array<std::u16string, kGridColumnCount>;

// "%d:%d:%d %d" of hour, minute, second and milliseconds: 9:05:03.007 is "9:5:3 7".
std::u16string StartedText(const SystemTime& started);

// The ten cell texts of a row added as row number `rowNumber` (0 for the first row).
GridRowTexts NewRowTexts(const CHttpTransaction& record, int rowNumber);

}  // namespace tracewell
