#include "child_window_class.h"

#include "module.h"

namespace tracewell::win {

bool RegisterChildWindowClass(const wchar_t* className) {
  const HINSTANCE instance = CBandkitModule::Get().Instance();
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExW(instance, className, &existing)) return true;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = className;
  return RegisterClassExW(&windowClass) != 0;
}

}  // namespace tracewell::win
