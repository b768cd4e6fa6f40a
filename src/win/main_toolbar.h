#pragma once
// The main window's toolbar in a rebar band: the core's buttons (the Start/Stop pair
// of check buttons, plain buttons, split buttons whose arrow opens a menu, and whole
// drop-down buttons) with their texts, and the drop-down menus from the core's
// tables, the Filter menu greying the switch that would change nothing. Commands
// this library has no part for (the desktop program's browser and certificate
// authority) are not offered.

#include <windows.h>

#include <commctrl.h>

namespace tracewell::win {

class CMainToolbar {
 public:
  // Creates the rebar with the toolbar in `parent`, whose commands and notifications
  // the toolbar sends there; false when the system refuses.
  bool Create(HWND parent);
  HWND Rebar() const { return m_rebar; }
  HWND Toolbar() const { return m_toolbar; }
  // The rebar laid along the top of its parent; its height.
  int Layout();

  // Checks `checked` (command::kStart or kStop) and clears the other, unless it is
  // checked already.
  void CheckRecordingButton(int checked);

  // A button's arrow (or a whole drop-down button) was pressed: its menu below the
  // button; the chosen command is sent to `owner` as WM_COMMAND. False when the
  // notification is not the toolbar's drop-down.
  bool OnNotify(const NMHDR& header, HWND owner, bool filterOn);

 private:
  void ShowMenu(int buttonId, HWND owner, bool filterOn);

  HWND m_rebar = nullptr;
  HWND m_toolbar = nullptr;
};

}  // namespace tracewell::win
