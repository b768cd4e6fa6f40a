#pragma once
// Message boxes as Qt dialogs, modal to their parent window.

#include "text/message_box.h"

class QWidget;

namespace tracewell::app {

class CQtMessageBox final : public IMessageBox {
 public:
  explicit CQtMessageBox(QWidget* parent) : m_parent(parent) {}
  void ShowMessage(const UserMessage& message) override;
  bool AskYesNo(const UserMessage& question) override;

 private:
  QWidget* m_parent;
};

}  // namespace tracewell::app
