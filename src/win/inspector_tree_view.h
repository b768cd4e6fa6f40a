#pragma once
// The page inspector's part tree on screen: a tree view (control 259) that shows the
// inspector model's items, dimmed ones in the cut state, expanded ones open.

#include <windows.h>

#include "inspector/inspector_tree.h"

namespace tracewell::win {

class CInspectorTreeView {
 public:
  // Creates the tree view in `parent`; false when the system refuses.
  bool Create(HWND parent);
  HWND Handle() const { return m_tree; }

  // Shows `tree` in place of what was there.
  void Show(const CInspectorTree& tree);

 private:
  HWND m_tree = nullptr;
};

}  // namespace tracewell::win
