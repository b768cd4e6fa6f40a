#pragma once
// Message boxes and yes/no questions, shown by the host (a dialog box in a window,
// a line and an answer on the command line).

#include "text/user_message.h"

namespace tracewell {

class IMessageBox {
 public:
  virtual ~IMessageBox() = default;
  // The message with one OK button; returns once the user has closed it.
  virtual void ShowMessage(const UserMessage& message) = 0;
  // The question with the buttons Yes and No; true for Yes.
  virtual bool AskYesNo(const UserMessage& question) = 0;
};

}  // namespace tracewell
