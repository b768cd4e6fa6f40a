#pragma once
// The commands every list of the window shares, bound to a list view: the right-click
// menu (the four copy commands, Select All Rows, Invert Selection), Ctrl+A and Ctrl+C.
// The menu's choice runs on the list that was right-clicked. A list whose selection
// lives in a model is told to push it to the view after a selection command.

#include <windows.h>

#include <commctrl.h>

#include <functional>

#include "views/list_helper.h"

namespace tracewell::win {

class CListCommands {
 public:
  CListCommands(int listId, ISelectableList& list, IClipboard& clipboard)
      : m_listId(listId), m_list(list), m_clipboard(clipboard) {}

  void Attach(HWND list) { m_view = list; }
  // Runs after Select All Rows or Invert Selection changed the list's selection.
  void SetSelectionChanged(std::function<void()> handler) { m_selectionChanged = std::move(handler); }

  // A notification the list sent its parent: the right click opens the menu, a key
  // may stand for a command. False for the rest (and for another list's).
  bool OnNotify(const NMHDR& header);
  // One of the menu's commands, run on the list.
  void RunCommand(int commandId);

 private:
  void OnRightClick(const NMITEMACTIVATE& click);
  bool OnKeyDown(WORD key);

  int m_listId;
  ISelectableList& m_list;
  IClipboard& m_clipboard;
  HWND m_view = nullptr;
  CListCtrlHelper m_helper;
  std::function<void()> m_selectionChanged;
};

// Selection as a list view keeps it, with its redrawing held while rows change.
void SelectAllListRows(HWND list);
void InvertListSelection(HWND list);

}  // namespace tracewell::win
