#include "widgets/qt_message_box.h"

#include <QMessageBox>

#include "widgets/qt_text.h"

namespace tracewell::app {

void CQtMessageBox::ShowMessage(const UserMessage& message) {
  QMessageBox box(QMessageBox::NoIcon, ToQString(message.caption), ToQString(message.text),
                  QMessageBox::Ok, m_parent);
  box.exec();
}

bool CQtMessageBox::AskYesNo(const UserMessage& question) {
  QMessageBox box(QMessageBox::Question, ToQString(question.caption), ToQString(question.text),
                  QMessageBox::Yes | QMessageBox::No, m_parent);
  return box.exec() == QMessageBox::Yes;
}

}  // namespace tracewell::app
