#pragma once
// Answers the message box that the test's own thread is about to show (modal, so the
// test cannot answer it itself): waits on another thread for a box with the caption,
// keeps its text, and presses a button. It waits a bounded time and gives up.

#include <windows.h>

#include <string>
#include <thread>

namespace tracewell::win::test {

class CMessageBoxAnswer {
 public:
  // Presses `button` (IDOK, IDYES, IDNO) on the next box captioned `caption`.
  CMessageBoxAnswer(std::wstring caption, int button);
  ~CMessageBoxAnswer();
  CMessageBoxAnswer(const CMessageBoxAnswer&) = delete;
  CMessageBoxAnswer& operator=(const CMessageBoxAnswer&) = delete;

  // The box's text once it has been answered; empty when no box came.
  std::wstring Text();

 private:
  void Answer(int button);

  std::wstring m_caption;
  std::wstring m_text;
  std::thread m_thread;
};

}  // namespace tracewell::win::test
