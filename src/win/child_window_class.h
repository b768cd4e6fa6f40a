#pragma once
// The window class of the library's own container windows (the main window, the
// detail pane, the Content tab and its panel): the arrow cursor, the dialog colour
// behind the children, and DefWindowProcW until a view puts its own procedure in.

#include <windows.h>

namespace tracewell::win {

// Registers `className` in the library's module once; false when the system refuses.
bool RegisterChildWindowClass(const wchar_t* className);

// The window procedure of a view that keeps itself in its window's GWLP_USERDATA: the
// view's HandleMessage once it is there (a view befriends it), DefWindowProcW before.
template <typename View>
LRESULT CALLBACK ViewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* view = reinterpret_cast<View*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (view == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  return view->HandleMessage(message, wParam, lParam);
}

}  // namespace tracewell::win
