#pragma once
// What every list of the window shares: the right-click menu with the copy and
// selection commands, Ctrl+A and Ctrl+C, and the cell under the last right click.
// Only lists whose control id lies in 262..271 take part.

#include <array>
#include <optional>

#include "views/list_copy.h"
#include "views/main_commands.h"

namespace tracewell {

inline constexpr int kFirstHelperListId = 262;
inline constexpr int kLastHelperListId = 271;
inline constexpr int kGridListId = 264;
inline constexpr int kListMenuId = 285;

// The right-click menu, in order.
extern const std::array<MenuItem, 7> kListMenuItems;

// A list the selection commands can act on.
class ISelectableList : public IListRows {
 public:
  virtual void SelectAllRows() = 0;
  virtual void InvertSelection() = 0;
};

class CListCtrlHelper {
 public:
  // A right click at (hitRow, hitColumn), -1 where it met no row or column, on the
  // row the list named; true when the menu should open.
  bool OnRightClick(int listId, int hitRow, int hitColumn, int clickedRow, std::size_t rowCount);
  // The command a key-down stands for: Ctrl+A selects all rows, Ctrl+C copies the
  // selected ones.
  static std::optional<int> CommandForKey(int listId, char key, bool ctrlDown);
  // Runs one of the menu's commands on the list the view names (none: nothing).
  // Returns false for any other command.
  bool OnCommand(int commandId, ISelectableList* list, IClipboard& clipboard) const;

  int HitRow() const { return m_nHitRow; }
  int HitColumn() const { return m_nHitColumn; }

 private:
  int m_nHitRow = 0;
  int m_nHitColumn = 0;
};

}  // namespace tracewell
