#pragma once
// The Help menu: the manual beside the program, the update check against the update
// site, the home page for support, and the about box. Addresses are read when a
// command runs, so their environment overrides always count.

#include "text/message_box.h"

class QWidget;

namespace tracewell::app {

class CHelpCommands {
 public:
  CHelpCommands(IMessageBox& messages, QWidget& parent) : m_messages(messages), m_parent(parent) {}

  // False for a command that is not the Help menu's.
  bool OnCommand(int commandId);

 private:
  IMessageBox& m_messages;
  QWidget& m_parent;
};

}  // namespace tracewell::app
