// Styled runs into a Qt text document: colours, bold and italic per run, paragraphs
// at line feeds, and a new document replacing the old one whole.

#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "widgets/styled_text.h"

namespace tracewell::app {
namespace {

struct Shown {
  QString text;
  QColor colour;
  bool bold;
  bool italic;
  bool operator==(const Shown&) const = default;
};

// Every fragment of the document, block by block; a block break is a fragment "\n".
QList<Shown> Fragments(const QTextDocument& document) {
  QList<Shown> shown;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    if (block != document.begin()) shown.append({"\n", {}, false, false});
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      const QTextCharFormat format = fragment.charFormat();
      shown.append({fragment.text(), format.foreground().color(),
                    format.fontWeight() == QFont::Bold, format.fontItalic()});
    }
  }
  return shown;
}

}  // namespace

class StyledTextTest : public QObject {
  Q_OBJECT

 private slots:
  void runsKeepTheirStylesAndLineFeedsStartParagraphs() {
    QTextDocument document;
    ShowStyledRuns(document, {{u"<", Rgb{}, true, false},
                              {u"a href", Rgb{0, 0, 255}, false, false},
                              {u">\nsecond line\n", Rgb{}, false, true},
                              {u"end", Rgb{130, 130, 130}, false, false}});
    QCOMPARE(document.toPlainText(), QString("<a href>\nsecond line\nend"));
    QCOMPARE(document.blockCount(), 3);
    QCOMPARE(Fragments(document), (QList<Shown>{{"<", Qt::black, true, false},
                                                 {"a href", QColor(0, 0, 255), false, false},
                                                 {">", Qt::black, false, true},
                                                 {"\n", {}, false, false},
                                                 {"second line", Qt::black, false, true},
                                                 {"\n", {}, false, false},
                                                 {"end", QColor(130, 130, 130), false, false}}));
  }

  void aNewDocumentReplacesTheOldOneAndNoRunsEmptyIt() {
    QTextDocument document;
    ShowStyledRuns(document, {{u"old\ntext", Rgb{255, 0, 0}, true, true}});
    ShowStyledRuns(document, {{u"new", Rgb{}, false, false}});
    QCOMPARE(Fragments(document), (QList<Shown>{{"new", Qt::black, false, false}}));
    ShowStyledRuns(document, {});
    QCOMPARE(document.toPlainText(), QString());
    QCOMPARE(document.blockCount(), 1);
  }
};

}  // namespace tracewell::app

QTEST_MAIN(tracewell::app::StyledTextTest)
#include "styled_text_test.moc"
