#pragma once
// Drives the modal dialog that the test's own thread is about to run (the test cannot
// reach it itself while the dialog's loop runs): waits on another thread for a dialog
// with the caption, then runs the test's steps there. Steps reach the dialog's
// controls with messages, as clicks and keys do; what they see is kept for the test
// to check once the driver is done. Every wait is bounded.

#include <windows.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace tracewell::win::test {

class CDialogDriver {
 public:
  CDialogDriver(std::wstring caption, std::function<void(HWND dialog)> steps);
  ~CDialogDriver();
  CDialogDriver(const CDialogDriver&) = delete;
  CDialogDriver& operator=(const CDialogDriver&) = delete;

  // Waits for the steps to end; false when no dialog came.
  bool Wait();

 private:
  void Drive(const std::wstring& caption, const std::function<void(HWND)>& steps);

  bool m_driven = false;
  std::thread m_thread;
};

// A button clicked as the mouse clicks it; returns once the dialog has handled it.
void ClickButton(HWND dialog, int id);
// A click whose handling runs a nested dialog (a message box): the step goes on at once.
void PostClick(HWND dialog, int id);
bool IsButtonChecked(HWND dialog, int id);
bool IsControlEnabled(HWND dialog, int id);
// The text of every control of the dialog, in the dialog's order.
std::vector<std::wstring> ControlTexts(HWND dialog);
// A list row's check box set as a click on it sets it.
void CheckListRow(HWND list, int row, bool checked);
bool IsListRowChecked(HWND list, int row);

struct MessageBoxSeen {
  std::wstring caption;
  std::wstring text;  // empty when no box came
};
// A message box's message: its longest static text.
std::wstring MessageText(HWND box);
// Waits for the message box that `owner` shows, keeps its caption and text and
// presses `button`.
MessageBoxSeen AnswerMessageBox(HWND owner, int button = IDOK);

// Waits until `condition` holds; false when it did not within the bound.
bool WaitUntil(const std::function<bool()>& condition);

}  // namespace tracewell::win::test
