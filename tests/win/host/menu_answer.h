#pragma once
// Answers the popup menu that the test's own thread is about to track (modal, so the
// test cannot answer it itself): waits on another thread for the menu's window, keeps
// its items' texts, and chooses one by moving down to it and pressing Enter. It waits
// a bounded time and then closes whatever menu is open.

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

namespace tracewell::win::test {

class CMenuAnswer {
 public:
  // Chooses the item at `position` (separators count) of the next popup menu; a
  // negative position closes it without a choice.
  explicit CMenuAnswer(int position);
  ~CMenuAnswer();
  CMenuAnswer(const CMenuAnswer&) = delete;
  CMenuAnswer& operator=(const CMenuAnswer&) = delete;

  // The menu's items, a separator as "-", once it has been answered; empty when no
  // menu came.
  std::vector<std::wstring> Texts();
  // Whether each item takes a choice (greyed ones and separators do not), in the
  // order of Texts().
  std::vector<bool> Enabled();

 private:
  void Answer(int position);

  std::vector<std::wstring> m_texts;
  std::vector<bool> m_enabled;
  std::thread m_thread;
};

}  // namespace tracewell::win::test
