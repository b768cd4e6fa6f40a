// The "Content" tab as a user sees it, over an in-memory page with forms, scripts,
// style sheets, links, images and a frame: the part tree, the coloured source, the
// three tables, the page summary, the red outline a row click puts on the page, and
// what loading and clearing leave behind.

#include <QApplication>
#include <QFormLayout>
#include <QLabel>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTreeWidget>
#include <initializer_list>

#include "inspector/rtf_runs.h"
#include "list_interaction.h"
#include "support/fake_dom.h"
#include "widgets/detail_list.h"
#include "widgets/inspector_view.h"
#include "widgets/qt_clipboard.h"
#include "widgets/qt_text.h"

namespace tracewell::app {
namespace {

using interaction::ShownRows;

using testing::CallLog;
using testing::FakeDomDocument;
using testing::FakeDomElement;
using testing::FakeDomStyleSheet;
using testing::FakeWebBrowser;
using testing::MakeElement;

// The group items under "Root", in the order the tree shows them.
enum Group : int { kDocument = 0, kScripts, kImages, kStyleSheets, kLinks, kForms };

constexpr Rgb kBlue{0, 0, 255};

const DomStyleTexts kOwnStyle{u"2px dotted blue", u"color: green; border: 2px dotted blue"};

// Border and inline style, to compare styles in one step.
std::u16string StyleOf(const FakeDomElement& element) {
  return element.style->border + u" | " + element.style->inlineStyle;
}
const std::u16string kOwnStyleText = kOwnStyle.border + u" | " + kOwnStyle.inlineStyle;

std::shared_ptr<FakeDomElement> Anchor(const std::u16string& text, const std::u16string& href,
                                       CallLog& log) {
  auto anchor = MakeElement(text, &log);
  anchor->link = DomLinkFields{text, href};
  anchor->style = kOwnStyle;
  return anchor;
}

std::shared_ptr<FakeDomElement> Script(std::u16string src, std::u16string html) {
  auto script = MakeElement(u"script");
  script->scriptSrc = std::move(src);
  script->outerHtml = std::move(html);
  return script;
}

std::shared_ptr<FakeDomElement> Input(DomInputFields fields, CallLog& log) {
  auto input = MakeElement(fields.name, &log);
  input->input = std::move(fields);
  return input;
}

std::shared_ptr<FakeDomElement> Image(DomImageFields fields, CallLog& log) {
  auto image = MakeElement(fields.src, &log);
  image->image = std::move(fields);
  return image;
}

std::shared_ptr<FakeDomStyleSheet> Sheet(std::u16string href, std::u16string css) {
  auto sheet = std::make_shared<FakeDomStyleSheet>();
  sheet->href = std::move(href);
  sheet->cssText = std::move(css);
  return sheet;
}

// A shop's front page with an advertisement frame.
struct ShopPage {
  CallLog log;
  std::shared_ptr<FakeDomDocument> top = std::make_shared<FakeDomDocument>();
  std::shared_ptr<FakeDomDocument> frame = std::make_shared<FakeDomDocument>();
  std::shared_ptr<FakeDomElement> search = MakeElement(u"search", &log);

  ShopPage() {
    top->title = u"Shop";
    top->url = u"http://127.0.0.1:8080/";
    auto html = MakeElement(u"html");
    html->outerHtml = u"<html><body class=\"main\">Hi</body></html>";
    top->htmlElement = html;
    search->form = true;
    search->outerHtml = u"<form action=\"/search\"><input name=\"q\"></form>";
    search->formElements = {
        Input({u"q", u"q", u"text", u"shoes", u"INPUT"}, log),
        MakeElement(u"notes", &log),  // a text area: no row
        Input({u"", u"token", u"hidden", u"7f3a", u"INPUT"}, log),
    };
    top->forms = {search};
    top->scripts = {Script(u"", u"<script>if (ok) return caf\u00E9;</script>"),
                    Script(u"http://127.0.0.1:8080/app.js", u"<script src=\"app.js\"></script>")};
    top->styleSheets = {Sheet(u"", u"p { color: red }"),
                        Sheet(u"http://127.0.0.1:8080/site.css", u"body {}")};
    top->links = {Anchor(u"Home", u"http://127.0.0.1:8080/", log),
                  Anchor(u"Cart", u"http://127.0.0.1:8080/cart", log)};
    top->images = {Image({u"logo", u"http://127.0.0.1:8080/logo.png", 120, 40, u"2048",
                          u"PNG Image"},
                         log),
                   Image({u"", u"http://127.0.0.1:8080/dot.gif", 1, 1, u"43", u"GIF Image"}, log)};
    frame->title = u"";
    frame->url = u"http://127.0.0.1:8080/ad.html";
    frame->links = {Anchor(u"Sale", u"http://127.0.0.1:8080/sale", log)};
    frame->scripts = {Script(u"", u"<script>var n;</script>")};
    top->frames = {frame};
  }
};

// The tree depth first, one line per item: two spaces per level, "+" when expanded.
void AppendOutline(QString& out, const QTreeWidgetItem& item, const QString& indent) {
  out += indent + (item.isExpanded() ? "+" : "") + item.text(0) + "\n";
  for (int child = 0; child < item.childCount(); ++child) {
    AppendOutline(out, *item.child(child), indent + "  ");
  }
}

QString Outline(const QTreeWidget& tree) {
  QString out;
  for (int top = 0; top < tree.topLevelItemCount(); ++top) {
    AppendOutline(out, *tree.topLevelItem(top), "");
  }
  return out;
}

// The style of the character that begins the first occurrence of `text`.
struct ShownStyle {
  Rgb colour;
  bool bold;
  bool italic;
  bool operator==(const ShownStyle&) const = default;
};

ShownStyle StyleOf(const QTextDocument& document, const QString& text) {
  const auto at = static_cast<int>(document.toPlainText().indexOf(text));
  if (at < 0) qFatal("\"%s\" is not in the text", qPrintable(text));
  QTextCursor cursor(const_cast<QTextDocument*>(&document));
  cursor.setPosition(at + 1);  // the format of the character before the cursor
  const QTextCharFormat format = cursor.charFormat();
  const QColor colour = format.foreground().color();
  return {{static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
           static_cast<std::uint8_t>(colour.blue())},
          format.fontWeight() == QFont::Bold,
          format.fontItalic()};
}

}  // namespace

class InspectorViewTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void treeListsThePagePartsWithTheRootChosen();
  void rootPanelSummarisesThePage();
  void sourcesShowInColour();
  void tablesListImagesLinksAndFormFields();
  void rowClicksAndArrowKeysMoveTheOutline();
  void anotherTabTakesTheOutlineOffButAHiddenWindowDoesNot();
  void tablesOfferTheCopyCommands();
  void loadingIsOneDimmedItemThatDoesNothing();
  void clearingEmptiesEverythingAndGivesTheStyleBack();

 private:
  QTreeWidgetItem& Item(std::initializer_list<int> path);
  // Clicks the item, opening its parents first, as a user would.
  void Choose(QTreeWidgetItem& item);
  void Choose(std::initializer_list<int> path) { Choose(Item(path)); }
  CDetailList& Table(InspectorPane pane) { return m_view->Table(pane); }
  int RowsInTables();

  CQtClipboard m_clipboard;
  std::unique_ptr<ShopPage> m_page;
  FakeWebBrowser m_browser;
  CSourceColorizer m_colorizer;
  std::unique_ptr<CInspectorModel> m_model;
  std::unique_ptr<CInspectorView> m_view;
};

void InspectorViewTest::init() {
  m_page = std::make_unique<ShopPage>();
  m_browser.document = m_page->top;
  m_browser.name = u"Shop \u2013 front page";
  m_browser.url = u"http://127.0.0.1:8080/";
  m_browser.type = u"HTML Document";
  m_model = std::make_unique<CInspectorModel>(m_browser, m_colorizer, [] { return true; });
  m_view = std::make_unique<CInspectorView>(*m_model, m_clipboard);
  m_view->resize(1000, 500);
  m_view->show();
  QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
  m_model->RebuildInspectorTree();
  m_view->Refresh();
}

void InspectorViewTest::cleanup() {
  if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
  m_view.reset();
  m_model.reset();
  m_page.reset();
}

QTreeWidgetItem& InspectorViewTest::Item(std::initializer_list<int> path) {
  QTreeWidgetItem* item = nullptr;
  for (const int index : path) {
    item = item ? item->child(index) : m_view->Tree().topLevelItem(index);
    if (!item) qFatal("no tree item at that path");
  }
  return *item;
}

void InspectorViewTest::Choose(QTreeWidgetItem& item) {
  for (QTreeWidgetItem* parent = item.parent(); parent; parent = parent->parent()) {
    parent->setExpanded(true);
  }
  QTreeWidget& tree = m_view->Tree();
  tree.scrollToItem(&item);
  QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualItemRect(&item).center());
  QCOMPARE(tree.currentItem(), &item);
}

int InspectorViewTest::RowsInTables() {
  int rows = 0;
  for (const auto pane : {InspectorPane::kImages, InspectorPane::kLinks, InspectorPane::kFormFields}) {
    rows += Table(pane).model()->rowCount();
  }
  return rows;
}

void InspectorViewTest::treeListsThePagePartsWithTheRootChosen() {
  QCOMPARE(Outline(m_view->Tree()),
           QString("+Root\n"
                   "  +Document\n"
                   "    Shop\n"
                   "      http://127.0.0.1:8080/ad.html\n"
                   "  Scripts\n"
                   "    <SCRIPT>\n"
                   "    http://127.0.0.1:8080/app.js\n"
                   "    <SCRIPT>\n"
                   "  Images\n"
                   "  StyleSheets\n"
                   "    <style>\n"
                   "    http://127.0.0.1:8080/site.css\n"
                   "  Links\n"
                   "  Forms\n"
                   "    <form action=\"/search\">\n"));
  QCOMPARE(m_view->Tree().currentItem(), &Item({0}));
  QVERIFY(m_view->Tree().isHeaderHidden());
  QVERIFY(m_view->Tree().rootIsDecorated());
  // No item is dimmed on a loaded page.
  QCOMPARE(Item({0, kScripts, 0}).data(0, Qt::ForegroundRole), QVariant());
}

void InspectorViewTest::rootPanelSummarisesThePage() {
  Choose({0, kLinks});
  QCOMPARE(&m_view->ShownPane(), &Table(InspectorPane::kLinks));
  Choose({0});
  QWidget& panel = m_view->RootPanel();
  QCOMPARE(&m_view->ShownPane(), &panel);
  QCOMPARE(panel.windowTitle(), QString("Root"));
  auto* form = qobject_cast<QFormLayout*>(panel.layout());
  QVERIFY(form);
  QStringList shown;
  for (int row = 0; row < form->rowCount(); ++row) {
    for (const auto role : {QFormLayout::LabelRole, QFormLayout::FieldRole}) {
      shown << qobject_cast<QLabel*>(form->itemAt(row, role)->widget())->text();
    }
  }
  QCOMPARE(shown, (QStringList{"Name:", QString::fromUtf16(u"Shop \u2013 front page"), "Type:",
                               "HTML Document", "URL:", "http://127.0.0.1:8080/"}));
  // A title is shown as it is, never read as markup.
  m_browser.name = u"<b>Deals</b>";
  Choose({0, kDocument});
  Choose({0});
  const auto* name = qobject_cast<QLabel*>(form->itemAt(0, QFormLayout::FieldRole)->widget());
  QCOMPARE(name->textFormat(), Qt::PlainText);
  QCOMPARE(name->text(), QString("<b>Deals</b>"));
}

void InspectorViewTest::sourcesShowInColour() {
  const QTextDocument& text = *m_view->Text().document();
  QVERIFY(m_view->Text().isReadOnly());

  // An inline script: keywords after a delimiter in blue, other words in the default
  // colour.
  Choose({0, kScripts, 0});
  QCOMPARE(&m_view->ShownPane(), &m_view->Text());
  QCOMPARE(text.toPlainText(), QString::fromUtf16(u"<script>if (ok) return caf\u00E9;</script>\n"));
  QCOMPARE(StyleOf(text, "script"), (ShownStyle{kRtfDefaultColour, false, false}));
  QCOMPARE(StyleOf(text, "if"), (ShownStyle{kBlue, false, false}));
  QCOMPARE(StyleOf(text, "return"), (ShownStyle{kBlue, false, false}));
  QCOMPARE(StyleOf(text, "ok"), (ShownStyle{kRtfDefaultColour, false, false}));

  // The frame's script follows the page's; choosing another source replaces the text.
  Choose({0, kScripts, 2});
  QCOMPARE(text.toPlainText(), QString("<script>var n;</script>\n"));

  // A style block: the selector in bold, the property name in blue.
  Choose({0, kStyleSheets, 0});
  QCOMPARE(text.toPlainText(), QString("p { color: red }\n"));
  QCOMPARE(StyleOf(text, "p"), (ShownStyle{kRtfDefaultColour, true, false}));
  QCOMPARE(StyleOf(text, "color"), (ShownStyle{kBlue, false, false}));

  // The page's own markup: a bold "<", the tag name in blue, the attribute name in red.
  Choose({0, kDocument, 0});
  QCOMPARE(text.toPlainText(), QString("<html><body class=\"main\">Hi</body></html>\n"));
  QCOMPARE(StyleOf(text, "<"), (ShownStyle{kRtfDefaultColour, true, false}));
  QCOMPARE(StyleOf(text, "html"), (ShownStyle{kBlue, false, false}));
  QCOMPARE(StyleOf(text, "class"), (ShownStyle{Rgb{255, 0, 0}, false, false}));

  // A group item shows the text box, emptied.
  Choose({0, kScripts});
  QCOMPARE(&m_view->ShownPane(), &m_view->Text());
  QCOMPARE(text.toPlainText(), QString());
}

void InspectorViewTest::tablesListImagesLinksAndFormFields() {
  Choose({0, kImages});
  QCOMPARE(&m_view->ShownPane(), &Table(InspectorPane::kImages));
  QCOMPARE(ShownRows(Table(InspectorPane::kImages)),
           (TextRows{
               {u"logo", u"http://127.0.0.1:8080/logo.png", u"120", u"40", u"2048", u"PNG Image"},
               {u"Untitled", u"http://127.0.0.1:8080/dot.gif", u"1", u"1", u"43", u"GIF Image"}}));

  // The frame's links come before the page's own.
  Choose({0, kLinks});
  QCOMPARE(&m_view->ShownPane(), &Table(InspectorPane::kLinks));
  QCOMPARE(ShownRows(Table(InspectorPane::kLinks)),
           (TextRows{{u"Sale", u"http://127.0.0.1:8080/sale"},
                     {u"Home", u"http://127.0.0.1:8080/"},
                     {u"Cart", u"http://127.0.0.1:8080/cart"}}));

  // "Forms" shows the empty table; a form fills it with its inputs and is outlined.
  Choose({0, kForms});
  QCOMPARE(&m_view->ShownPane(), &Table(InspectorPane::kFormFields));
  QCOMPARE(Table(InspectorPane::kFormFields).model()->rowCount(), 0);
  QVERIFY(m_page->log.empty());
  Choose({0, kForms, 0});
  QCOMPARE(&m_view->ShownPane(), &Table(InspectorPane::kFormFields));
  QCOMPARE(ShownRows(Table(InspectorPane::kFormFields)),
           (TextRows{{u"q", u"q", u"text", u"shoes", u"INPUT"},
                     {u"", u"token", u"hidden", u"7f3a", u"INPUT"}}));
  QCOMPARE(m_page->search->style->border, std::u16string(kHighlightBorder));
  QCOMPARE(m_page->log, (CallLog{u"search scroll", u"search border=1px red solid"}));

  // Each list's rows are its own: the text box's pane empties all three.
  Choose({0, kDocument, 0});
  QCOMPARE(RowsInTables(), 0);
}

void InspectorViewTest::rowClicksAndArrowKeysMoveTheOutline() {
  Choose({0, kLinks});
  CDetailList& links = Table(InspectorPane::kLinks);
  const auto& sale = static_cast<FakeDomElement&>(*m_page->frame->links[0]);
  const auto& home = static_cast<FakeDomElement&>(*m_page->top->links[0]);
  const auto& cart = static_cast<FakeDomElement&>(*m_page->top->links[1]);

  interaction::LeftClick(links, interaction::CellCenter(links, 1, 0));
  QCOMPARE(home.style->border, std::u16string(kHighlightBorder));
  QCOMPARE(m_page->log, (CallLog{u"Home scroll", u"Home border=1px red solid"}));
  QCOMPARE(interaction::SelectedRows(links), (QList<int>{1}));

  // Another row: the first element gets exactly its own styles back.
  m_page->log.clear();
  interaction::LeftClick(links, interaction::CellCenter(links, 2, 1));
  QCOMPARE(m_page->log, (CallLog{u"Cart scroll", u"Home border=2px dotted blue",
                                 u"Home style=color: green; border: 2px dotted blue",
                                 u"Cart border=1px red solid"}));
  QCOMPARE(StyleOf(home), kOwnStyleText);
  QCOMPARE(cart.style->border, std::u16string(kHighlightBorder));

  // Down on the last row outlines nothing new; Up outlines the row above, then moves.
  m_page->log.clear();
  QTest::keyClick(&links, Qt::Key_Down);
  QVERIFY(m_page->log.empty());
  QTest::keyClick(&links, Qt::Key_Up);
  QCOMPARE(home.style->border, std::u16string(kHighlightBorder));
  QCOMPARE(StyleOf(cart), kOwnStyleText);
  QCOMPARE(interaction::SelectedRows(links), (QList<int>{1}));
  QTest::keyClick(&links, Qt::Key_Up);
  QCOMPARE(sale.style->border, std::u16string(kHighlightBorder));
  QCOMPARE(interaction::SelectedRows(links), (QList<int>{0}));
  m_page->log.clear();
  QTest::keyClick(&links, Qt::Key_Up);  // above the first row
  QVERIFY(m_page->log.empty());
  // The rows stay as they were through all of it.
  QCOMPARE(links.model()->rowCount(), 3);

  // A click below the last row does nothing.
  interaction::LeftClick(links, interaction::BelowLastRow(links, 0));
  QVERIFY(m_page->log.empty());
}

void InspectorViewTest::anotherTabTakesTheOutlineOffButAHiddenWindowDoesNot() {
  QTabWidget tabs;
  tabs.addTab(new QWidget, "Header");
  tabs.addTab(m_view.get(), "Content");
  // The view is the fixture's: out of the tabs before they go, also on a failure.
  const auto giveBack = qScopeGuard([&] {
    tabs.removeTab(1);
    m_view->setParent(nullptr);
  });
  tabs.setCurrentIndex(1);
  tabs.resize(1000, 500);
  tabs.show();
  QVERIFY(QTest::qWaitForWindowExposed(&tabs));

  Choose({0, kImages});
  CDetailList& images = Table(InspectorPane::kImages);
  interaction::LeftClick(images, interaction::CellCenter(images, 0, 0));
  const auto& logo = static_cast<FakeDomElement&>(*m_page->top->images[0]);
  QCOMPARE(logo.style->border, std::u16string(kHighlightBorder));

  // The window going away is the window's to clear: the view leaves the page alone.
  tabs.hide();
  QCOMPARE(logo.style->border, std::u16string(kHighlightBorder));
  tabs.show();
  QVERIFY(QTest::qWaitForWindowExposed(&tabs));

  tabs.setCurrentIndex(0);
  QCOMPARE(logo.style->border, std::u16string());
  QCOMPARE(logo.style->inlineStyle, std::u16string());
  QCOMPARE(m_view->Tree().currentItem(), &Item({0, kImages}));  // the view itself is kept
}

void InspectorViewTest::tablesOfferTheCopyCommands() {
  Choose({0, kLinks});
  CDetailList& links = Table(InspectorPane::kLinks);
  QMenu* menu = interaction::RightClick(links, interaction::CellCenter(links, 1, 1));
  QVERIFY(menu);
  interaction::Choose(*menu, "Copy Cell");
  QCOMPARE(interaction::ClipboardBytes(), std::string("http://127.0.0.1:8080/"));
  menu = interaction::RightClick(links, interaction::CellCenter(links, 0, 0));
  QVERIFY(menu);
  interaction::Choose(*menu, "Copy All Rows");
  QCOMPARE(interaction::ClipboardBytes(),
           std::string("Sale  http://127.0.0.1:8080/sale  \r\n"
                       "Home  http://127.0.0.1:8080/  \r\n"
                       "Cart  http://127.0.0.1:8080/cart  \r\n"));
}

void InspectorViewTest::loadingIsOneDimmedItemThatDoesNothing() {
  Choose({0, kScripts, 1});
  Choose({0, kLinks});
  m_model->ShowInspectorLoading();
  m_view->Refresh();
  QTreeWidget& tree = m_view->Tree();
  QCOMPARE(Outline(tree), QString("Loading...\n"));
  QTreeWidgetItem& loading = Item({0});
  QCOMPARE(loading.foreground(0).color(), tree.palette().color(QPalette::Disabled, QPalette::Text));
  QVERIFY(loading.foreground(0).color() != tree.palette().color(QPalette::Active, QPalette::Text));
  QCOMPARE(Table(InspectorPane::kLinks).model()->rowCount(), 0);

  // Choosing it leaves the pane as it is.
  Choose(loading);
  QCOMPARE(&m_view->ShownPane(), &Table(InspectorPane::kLinks));
  QCOMPARE(Table(InspectorPane::kLinks).model()->rowCount(), 0);
  QCOMPARE(m_view->Text().toPlainText(), QString());

  // A second navigation keeps the one item; the finished load brings the tree back.
  m_model->ShowInspectorLoading();
  m_view->Refresh();
  QCOMPARE(Outline(tree), QString("Loading...\n"));
  m_page->top->title = u"Shop, page 2";
  m_model->RebuildInspectorTree();
  m_view->Refresh();
  QCOMPARE(Item({0, kDocument, 0}).text(0), QString("Shop, page 2"));
  QCOMPARE(tree.currentItem(), &Item({0}));
  QCOMPARE(&m_view->ShownPane(), &m_view->RootPanel());
  QCOMPARE(Item({0}).data(0, Qt::ForegroundRole), QVariant());
}

void InspectorViewTest::clearingEmptiesEverythingAndGivesTheStyleBack() {
  Choose({0, kForms, 0});
  Choose({0, kScripts, 0});
  QVERIFY(!m_view->Text().toPlainText().isEmpty());
  Choose({0, kLinks});
  CDetailList& links = Table(InspectorPane::kLinks);
  interaction::LeftClick(links, interaction::CellCenter(links, 0, 0));
  const auto& sale = static_cast<FakeDomElement&>(*m_page->frame->links[0]);
  QCOMPARE(sale.style->border, std::u16string(kHighlightBorder));

  m_model->ClearInspector();
  m_view->Refresh();
  QCOMPARE(m_view->Tree().topLevelItemCount(), 0);
  QCOMPARE(m_view->Text().toPlainText(), QString());
  QCOMPARE(RowsInTables(), 0);
  QCOMPARE(StyleOf(sale), kOwnStyleText);
  QCOMPARE(m_page->search->style->border, std::u16string());  // outlined earlier, given back then

  // Without an HTML document the tree stays empty after a rebuild.
  m_browser.document = nullptr;
  m_model->RebuildInspectorTree();
  m_view->Refresh();
  QCOMPARE(m_view->Tree().topLevelItemCount(), 0);
}

}  // namespace tracewell::app

QTEST_MAIN(tracewell::app::InspectorViewTest)
#include "inspector_view_test.moc"
