#pragma once
// The page inspector's part tree on screen: a tree view (control 259) that shows the
// inspector model's items, dimmed ones in the cut state, expanded ones open, and the
// model's chosen item selected. Each tree item carries its position in the model.

#include <windows.h>

#include <commctrl.h>

#include <optional>

#include "inspector/inspector_tree.h"

namespace tracewell::win {

class CInspectorTreeView {
 public:
  // Creates the tree view in `parent`; false when the system refuses.
  bool Create(HWND parent);
  HWND Handle() const { return m_tree; }

  // Shows `tree` in place of what was there, with `selected` selected.
  void Show(const CInspectorTree& tree, std::optional<std::size_t> selected);

  // The model's position of the item the user chose, when `header` tells of a new
  // selection in this tree; nothing for every other notification, and while Show
  // itself selects.
  std::optional<std::size_t> ChosenItem(const NMHDR& header) const;

 private:
  HWND m_tree = nullptr;
  bool m_showing = false;
};

}  // namespace tracewell::win
