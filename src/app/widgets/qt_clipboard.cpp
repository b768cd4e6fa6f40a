#include "widgets/qt_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

#include "text/code_page.h"
#include "widgets/qt_text.h"

namespace tracewell::app {

void CQtClipboard::SetText(std::string_view narrow) {
  QGuiApplication::clipboard()->setText(ToQString(FromCodePage(narrow)));
}

}  // namespace tracewell::app
