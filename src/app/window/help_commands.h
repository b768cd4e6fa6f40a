#pragma once
// The Help menu: the manual beside the program, the update check against the update
// site, the home page for support, and the about box. Addresses are read when a
// command runs, so their environment overrides always count.

#include <QString>
#include <functional>

#include "text/message_box.h"

class QWidget;

namespace tracewell::app {

class CHelpCommands {
 public:
  // Opens an address in the browser the window started; false when none runs.
  using PageOpener = std::function<bool(const QString& url)>;

  CHelpCommands(IMessageBox& messages, QWidget& parent, PageOpener openInStartedBrowser = {})
      : m_messages(messages), m_parent(parent), m_openInStartedBrowser(std::move(openInStartedBrowser)) {}

  // False for a command that is not the Help menu's.
  bool OnCommand(int commandId);

 private:
  // In the started browser when one runs, else in the user's default browser.
  void OpenPage(const QString& url) const;

  IMessageBox& m_messages;
  QWidget& m_parent;
  PageOpener m_openInStartedBrowser;
};

}  // namespace tracewell::app
