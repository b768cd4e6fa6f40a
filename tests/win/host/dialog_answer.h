#pragma once
// Answers the dialog (a message box, the About box) that the test's own thread is about
// to show (modal, so the test cannot answer it itself): waits on another thread for a
// dialog with the caption, keeps its controls' texts, and presses a button. It waits a
// bounded time and gives up.

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

namespace tracewell::win::test {

class CDialogAnswer {
 public:
  // Presses `button` (IDOK, IDYES, IDNO) on the next dialog captioned `caption`; for a
  // file dialog, types `fileName` into its file name box first.
  CDialogAnswer(std::wstring caption, int button, std::wstring fileName = {});
  ~CDialogAnswer();
  CDialogAnswer(const CDialogAnswer&) = delete;
  CDialogAnswer& operator=(const CDialogAnswer&) = delete;

  // A message box's text once it has been answered; empty when no box came.
  std::wstring Text();
  // Every control's text, in the dialog's order, once it has been answered.
  std::vector<std::wstring> Texts();

 private:
  void Answer(int button, const std::wstring& fileName);

  std::wstring m_caption;
  std::vector<std::wstring> m_texts;
  std::wstring m_text;
  std::thread m_thread;
};

}  // namespace tracewell::win::test
