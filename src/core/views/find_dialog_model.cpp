#include "views/find_dialog_model.h"

#include <algorithm>

namespace tracewell {

void CFindHistory::Remember(const std::u16string& text) {
  std::erase(m_texts, text);
  m_texts.insert(m_texts.begin(), text);
  if (m_texts.size() > kCapacity) m_texts.pop_back();
}

std::vector<std::u16string> CFindHistory::SortedTexts() const {
  std::vector<std::u16string> texts = m_texts;
  std::ranges::sort(texts);
  return texts;
}

void CFindDialogModel::CheckUp(bool checked) {
  m_query.up = checked;
  if (checked) m_downChecked = false;
}

void CFindDialogModel::CheckDown(bool checked) {
  m_downChecked = checked;
  if (checked) m_query.up = false;
}

bool CFindDialogModel::CanFindNext() const {
  return !m_query.text.empty() && std::ranges::find(m_query.scopes, true) != m_query.scopes.end();
}

std::optional<UserMessage> CFindDialogModel::FindNext() {
  if (!CanFindNext()) return std::nullopt;
  m_history.Remember(m_query.text);
  CSessionGridModel& grid = m_window.Grid();
  const auto hit = FindNextRow(grid, grid.LastSelectedRow(), m_query, m_content);
  if (!hit) return kMsgFindNotFound;
  grid.SelectOnly(hit->row);
  m_window.ActivateRow(hit->row);
  if (!hit->wrapped) return std::nullopt;
  return m_query.up ? kMsgFindWrappedToEnd : kMsgFindWrappedToTop;
}

}  // namespace tracewell
