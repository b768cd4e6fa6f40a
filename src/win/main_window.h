#pragma once
// The monitor's main window, a child of the browser's bar window. The band sees each of
// its messages first (its message map), the window's own handling comes after.

#include <windows.h>

namespace tracewell::win {

class IMessageMap {
 public:
  virtual ~IMessageMap() = default;
  // True when the message was handled, with its answer in `result`.
  virtual bool ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                    LRESULT& result) = 0;
};

class CMainWindowImpl {
 public:
  explicit CMainWindowImpl(IMessageMap& firstMap) : m_firstMap(firstMap) {}
  ~CMainWindowImpl() { Destroy(); }
  CMainWindowImpl(const CMainWindowImpl&) = delete;
  CMainWindowImpl& operator=(const CMainWindowImpl&) = delete;

  // Creates the window over `area` of `parent`; false when the system refuses.
  bool Create(HWND parent, const RECT& area);
  void Destroy();
  bool Exists() const { return m_window != nullptr; }
  HWND Handle() const { return m_window; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  IMessageMap& m_firstMap;
  HWND m_window = nullptr;
};

}  // namespace tracewell::win
