#include "widgets/styled_text.h"

#include <QColor>
#include <QFont>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include "widgets/qt_text.h"

namespace tracewell::app {
namespace {

QTextCharFormat FormatOf(const StyledRun& run) {
  QTextCharFormat format;
  format.setForeground(QColor(run.colour.red, run.colour.green, run.colour.blue));
  format.setFontWeight(run.bold ? QFont::Bold : QFont::Normal);
  format.setFontItalic(run.italic);
  return format;
}

}  // namespace

void ShowStyledRuns(QTextDocument& document, const std::vector<StyledRun>& runs) {
  document.clear();
  QTextCursor cursor(&document);
  cursor.beginEditBlock();
  for (const StyledRun& run : runs) {
    // insertText turns each line feed into a paragraph break.
    cursor.insertText(ToQString(run.text), FormatOf(run));
  }
  cursor.endEditBlock();
}

}  // namespace tracewell::app
