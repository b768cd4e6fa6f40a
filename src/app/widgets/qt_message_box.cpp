#include "widgets/qt_message_box.h"

#include <QMessageBox>

#include "widgets/qt_text.h"

namespace tracewell::app {
namespace {

// A box without a caption of its own is the program's: left empty, the window system
// would make up a title (the executable's name, cut short).
QString Caption(const UserMessage& message) {
  return message.caption.empty() ? QStringLiteral("Tracewell") : ToQString(message.caption);
}

}  // namespace

void CQtMessageBox::ShowMessage(const UserMessage& message) {
  QMessageBox box(QMessageBox::NoIcon, Caption(message), ToQString(message.text),
                  QMessageBox::Ok, m_parent);
  box.exec();
}

bool CQtMessageBox::AskYesNo(const UserMessage& question) {
  QMessageBox box(QMessageBox::Question, Caption(question), ToQString(question.text),
                  QMessageBox::Yes | QMessageBox::No, m_parent);
  return box.exec() == QMessageBox::Yes;
}

}  // namespace tracewell::app
