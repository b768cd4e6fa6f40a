#include "main_window.h"

#include "module.h"

namespace tracewell::win {
namespace {

constexpr wchar_t kClassName[] = L"TracewellMainWindow";
constexpr DWORD kStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr DWORD kExtendedStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;  // 0x40100

bool RegisterWindowClass(HINSTANCE instance) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExW(instance, kClassName, &existing)) return true;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  return RegisterClassExW(&windowClass) != 0;
}

}  // namespace

bool CMainWindowImpl::Create(HWND parent, const RECT& area) {
  const HINSTANCE instance = CBandkitModule::Get().Instance();
  if (!RegisterWindowClass(instance)) return false;
  const HWND window = CreateWindowExW(kExtendedStyle, kClassName, L"", kStyle, area.left, area.top,
                                      area.right - area.left, area.bottom - area.top, parent,
                                      nullptr, instance, nullptr);
  if (window == nullptr) return false;
  m_window = window;
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc));
  return true;
}

void CMainWindowImpl::Destroy() {
  if (m_window != nullptr && IsWindow(m_window)) DestroyWindow(m_window);
  m_window = nullptr;
}

LRESULT CALLBACK CMainWindowImpl::WindowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  auto* self = reinterpret_cast<CMainWindowImpl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  return self->HandleMessage(message, wParam, lParam);
}

LRESULT CMainWindowImpl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND window = m_window;
  LRESULT result = 0;
  if (m_firstMap.ProcessWindowMessage(window, message, wParam, lParam, result)) return result;
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    m_window = nullptr;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace tracewell::win
