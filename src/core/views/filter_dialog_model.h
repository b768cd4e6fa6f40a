#pragma once
// The filter dialog as a model. It edits the main window's settings in place: a
// click on one of the three check boxes writes all three and the OR/AND choice at
// once, a checked list row appends its text, an unchecked one removes the first
// equal entry. Cancel keeps whatever was written that way.

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

#include "views/filter.h"

namespace tracewell {

namespace filter_dialog_text {
inline constexpr std::u16string_view kTitle = u"Tracewell - Filter";
inline constexpr std::u16string_view kOptionsGroup = u"Filter Options";
inline constexpr std::u16string_view kEnableFiltering = u"Enable Filtering";
inline constexpr std::u16string_view kCombineLabel = u"Combine Filter Conditions:";
inline constexpr std::u16string_view kOr = u"OR";
inline constexpr std::u16string_view kAnd = u"AND";
inline constexpr std::u16string_view kConditionsGroup = u"Filter Conditions";
inline constexpr std::u16string_view kStatusCode = u"Status Code:";
inline constexpr std::u16string_view kContentType = u"Content Type:";
inline constexpr std::u16string_view kOk = u"OK";
inline constexpr std::u16string_view kCancel = u"Cancel";
inline constexpr std::u16string_view kStatusColumn = u"Status Code";
inline constexpr int kStatusColumnWidth = 80;
inline constexpr std::u16string_view kDescriptionColumn = u"Description";
inline constexpr int kDescriptionColumnWidth = 850;
}  // namespace filter_dialog_text

enum class FilterCheckBox { kEnableFiltering, kStatusCode, kContentType };
enum class FilterControl { kStatusCheck, kTypeCheck, kStatusList, kTypeList, kCombine };
enum class FilterList { kStatusCodes, kContentTypes };

class CFilterDialogModel {
 public:
  // The dialog's start: check boxes, radio choice and list rows from the settings.
  explicit CFilterDialogModel(FilterSettings& settings);

  bool IsChecked(FilterCheckBox box) const { return m_checks[Index(box)]; }
  void ClickCheckBox(FilterCheckBox box);

  // The radio pair: changes only the buttons until a check-box click or OK.
  bool AndChosen() const { return m_andChosen; }
  void ChooseCombine(bool andChosen) { m_andChosen = andChosen; }

  bool IsEnabled(FilterControl control) const;

  std::size_t RowCount(FilterList list) const { return Rows(list).size(); }
  bool IsRowChecked(FilterList list, std::size_t row) const { return Rows(list).at(row); }
  // A row's check box changed; ignored while the list is disabled or nothing changed.
  void SetRowChecked(FilterList list, std::size_t row, bool checked);

  // OK: writes the check boxes and the radio choice. (Cancel writes nothing.)
  void Ok() { WriteChecks(); }

 private:
  static std::size_t Index(FilterCheckBox box) { return static_cast<std::size_t>(box); }
  const std::vector<bool>& Rows(FilterList list) const;
  void WriteChecks();

  FilterSettings& m_settings;
  std::array<bool, 3> m_checks{};
  bool m_andChosen = false;
  std::vector<bool> m_statusRows;
  std::vector<bool> m_typeRows;
};

}  // namespace tracewell
