#pragma once
// The "Content" tab: the page inspector's part tree on the left and, on the right,
// the pane the inspector model chose: the coloured source in a rich edit box, the
// images, links or form-fields table, or the page summary. Every user action goes to
// the model, and the view then shows the model's state again; the rules are all the
// model's. The tables take part in the list commands like the other detail lists.

#include <windows.h>

#include <array>

#include "detail_list_view.h"
#include "inspector/inspector_model.h"
#include "inspector_tree_view.h"
#include "rich_text_view.h"
#include "root_panel_view.h"

namespace tracewell::win {

class CContentView {
 public:
  CContentView(CInspectorModel& model, IClipboard& clipboard);
  ~CContentView();
  CContentView(const CContentView&) = delete;
  CContentView& operator=(const CContentView&) = delete;

  // Creates the view, hidden, in `parent`; false when the system refuses.
  bool Create(HWND parent);
  HWND Handle() const { return m_view; }

  // Shows the model's tree and pane again; the window calls it after it told the
  // model to rebuild, show loading or clear.
  void Refresh();

 private:
  template <typename View>
  friend LRESULT CALLBACK ViewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool OnNotify(const NMHDR& header);
  // A click outlines the row's element; Up and Down outline the next row's before
  // the table moves its selection; the rest goes to the list commands.
  bool OnTableNotify(CDetailListView& table, const NMHDR& header);
  // The tree at the divider, the model's pane beside it.
  void Layout();
  void ShowPane();
  HWND PaneWindow(InspectorPane pane);
  std::array<CDetailListView*, 3> Tables() { return {&m_images, &m_links, &m_formFields}; }

  CInspectorModel& m_model;
  CInspectorTreeView m_tree;
  CRichTextView m_text;
  CDetailListView m_images;
  CDetailListView m_links;
  CDetailListView m_formFields;
  CRootPanelView m_rootPanel;
  HWND m_view = nullptr;
};

}  // namespace tracewell::win
