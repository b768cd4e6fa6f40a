#include "views/filter_dialog_model.h"

#include <algorithm>

namespace tracewell {
namespace {

template <typename Choices, typename TextOf>
std::vector<bool> CheckedRows(const Choices& choices, TextOf textOf,
                              const std::vector<std::u16string>& chosen) {
  std::vector<bool> rows;
  for (const auto& choice : choices) {
    rows.push_back(std::ranges::find(chosen, textOf(choice)) != chosen.end());
  }
  return rows;
}

}  // namespace

CFilterDialogModel::CFilterDialogModel(FilterSettings& settings)
    : m_settings(settings),
      m_checks{settings.m_bFilterOn, settings.m_bFilterByStatus, settings.m_bFilterByType},
      m_andChosen(settings.m_nFilterCombine != 0),
      m_statusRows(CheckedRows(
          kFilterStatusCodes, [](const StatusCodeChoice& c) { return c.code; },
          settings.m_arrFilterStatusCodes)),
      m_typeRows(CheckedRows(
          kFilterContentTypes, [](std::u16string_view type) { return type; },
          settings.m_arrFilterContentTypes)) {}

void CFilterDialogModel::ClickCheckBox(FilterCheckBox box) {
  if (box != FilterCheckBox::kEnableFiltering && !IsChecked(FilterCheckBox::kEnableFiltering)) {
    return;  // disabled
  }
  m_checks[Index(box)] = !m_checks[Index(box)];
  WriteChecks();
}

bool CFilterDialogModel::IsEnabled(FilterControl control) const {
  const bool on = IsChecked(FilterCheckBox::kEnableFiltering);
  const bool byStatus = IsChecked(FilterCheckBox::kStatusCode);
  const bool byType = IsChecked(FilterCheckBox::kContentType);
  switch (control) {
    case FilterControl::kStatusCheck:
    case FilterControl::kTypeCheck: return on;
    case FilterControl::kStatusList: return on && byStatus;
    case FilterControl::kTypeList: return on && byType;
    case FilterControl::kCombine: return on && byStatus && byType;
  }
  return false;
}

void CFilterDialogModel::SetRowChecked(FilterList list, std::size_t row, bool checked) {
  const bool statusList = list == FilterList::kStatusCodes;
  if (!IsEnabled(statusList ? FilterControl::kStatusList : FilterControl::kTypeList)) return;
  auto& rows = statusList ? m_statusRows : m_typeRows;
  if (rows.at(row) == checked) return;
  rows[row] = checked;
  auto& chosen = statusList ? m_settings.m_arrFilterStatusCodes : m_settings.m_arrFilterContentTypes;
  const std::u16string text(statusList ? kFilterStatusCodes[row].code : kFilterContentTypes[row]);
  if (checked) {
    chosen.push_back(text);
  } else if (const auto it = std::ranges::find(chosen, text); it != chosen.end()) {
    chosen.erase(it);
  }
}

const std::vector<bool>& CFilterDialogModel::Rows(FilterList list) const {
  return list == FilterList::kStatusCodes ? m_statusRows : m_typeRows;
}

void CFilterDialogModel::WriteChecks() {
  m_settings.m_bFilterOn = IsChecked(FilterCheckBox::kEnableFiltering);
  m_settings.m_bFilterByStatus = IsChecked(FilterCheckBox::kStatusCode);
  m_settings.m_bFilterByType = IsChecked(FilterCheckBox::kContentType);
  m_settings.m_nFilterCombine = m_andChosen ? 1 : 0;
}

}  // namespace tracewell
