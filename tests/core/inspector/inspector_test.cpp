#include <gtest/gtest.h>

#include "support/fake_dom.h"
#include "inspector/inspector_model.h"
#include "text/utf8.h"

namespace tracewell {
namespace {

using namespace testing;

// The tree depth first, one line per item: indent by depth, "+" when expanded, "~"
// when dimmed, the label and the node kind ("-" without a node).
void AppendOutline(std::string& out, const CInspectorTree& tree, std::optional<std::size_t> parent,
                   const std::string& indent) {
  const auto& items = tree.Items();
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i].parent != parent) continue;
    const InspectorNode* node = tree.Node(items[i].node);
    out += indent + (items[i].expanded ? "+" : "") + (items[i].dimmed ? "~" : "") +
           ToUtf8(items[i].label) + " #" +
           (node ? std::to_string(static_cast<int>(node->kind)) : "-") + "\n";
    AppendOutline(out, tree, i, indent + "  ");
  }
}

std::string Outline(const CInspectorTree& tree) {
  std::string out;
  AppendOutline(out, tree, std::nullopt, "");
  return out;
}

std::size_t ItemOf(const CInspectorModel& model, std::u16string_view label) {
  const auto& items = model.Tree().Items();
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i].label == label) return i;
  }
  ADD_FAILURE() << "no item " << ToUtf8(label);
  return items.size();
}

std::shared_ptr<FakeDomElement> Form(std::optional<std::u16string> html) {
  auto form = MakeElement(u"form");
  form->form = true;
  form->outerHtml = std::move(html);
  return form;
}

std::shared_ptr<FakeDomElement> Script(std::optional<std::u16string> src,
                                       std::u16string html = u"") {
  auto script = MakeElement(u"script");
  script->scriptSrc = std::move(src);
  script->outerHtml = std::move(html);
  return script;
}

std::shared_ptr<FakeDomStyleSheet> Sheet(std::optional<std::u16string> href,
                                         std::optional<std::u16string> css) {
  auto sheet = std::make_shared<FakeDomStyleSheet>();
  sheet->href = std::move(href);
  sheet->cssText = std::move(css);
  return sheet;
}

std::shared_ptr<FakeDomElement> Anchor(std::u16string text, std::u16string href) {
  auto anchor = MakeElement(text);
  anchor->link = DomLinkFields{std::move(text), std::move(href)};
  return anchor;
}

// A frameset page: its own forms, scripts and style sheets (with items to skip), an
// untitled frame, an unreachable frame, and a titled frame with a frame inside.
struct Page {
  std::shared_ptr<FakeDomDocument> top = std::make_shared<FakeDomDocument>();
  std::shared_ptr<FakeDomDocument> frameA = std::make_shared<FakeDomDocument>();
  std::shared_ptr<FakeDomDocument> frameB = std::make_shared<FakeDomDocument>();
  std::shared_ptr<FakeDomDocument> frameC = std::make_shared<FakeDomDocument>();
  FakeWebBrowser browser;
  FakeSourceColorizer colorizer;
  bool visible = true;
  CInspectorModel model{browser, colorizer, [this] { return visible; }};

  Page() {
    auto notAForm = Form(u"<div>");
    notAForm->form = false;
    top->title = u"Frameset page";
    top->url = u"http://site.test/";
    top->forms = {Form(u"<form action=\"/a\"><input name=q></form>"),
                  notAForm,
                  Form(u""),
                  Form(std::nullopt),
                  Form(u">ab>c"),
                  Form(u"<form"),
                  nullptr};
    top->scripts = {Script(u"", u"<script>var a;</script>"), Script(u"http://site.test/app.js"),
                    Script(std::nullopt), nullptr};
    top->styleSheets = {Sheet(u"", u"p { color: red }"),
                        Sheet(u"http://site.test/a.css", std::nullopt),
                        Sheet(std::nullopt, u"b {}"), nullptr};
    top->frames = {frameA, nullptr, frameB};
    frameA->url = u"http://site.test/a.html";
    frameA->scripts = {Script(u"a.js")};
    frameA->forms = {Form(u"<form id=\"fa\">")};
    frameB->title = u"Frame B";
    frameB->styleSheets = {Sheet(u"b.css", u"")};
    frameB->frames = {frameC};
    frameC->title = u"C";
    browser.document = top;
  }
};

TEST(InspectorTree, WalksTheDocumentAndItsFramesIntoTheGroups) {
  Page page;
  page.model.RebuildInspectorTree();
  EXPECT_EQ(Outline(page.model.Tree()),
            "+Root #1\n"
            "  +Document #2\n"
            "    Frameset page #9\n"
            "      http://site.test/a.html #9\n"
            "      Frame B #9\n"
            "        C #9\n"
            "  Scripts #8\n"
            "    <SCRIPT> #14\n"
            "    http://site.test/app.js #14\n"
            "    a.js #14\n"
            "  Images #6\n"
            "  StyleSheets #5\n"
            "    <style> #13\n"
            "    http://site.test/a.css #13\n"
            "    b.css #13\n"
            "  Links #3\n"
            "  Forms #7\n"
            "    <form action=\"/a\"> #15\n"
            "    >ab> #15\n"
            "    <form #15\n"
            "    <form id=\"fa\"> #15\n");

  // The root is chosen: the page summary from the browser.
  EXPECT_EQ(page.model.SelectedItem(), 0u);
  EXPECT_EQ(page.model.Pane(), InspectorPane::kRoot);
  EXPECT_EQ(page.model.RootPanel().name, u"Page title");
  EXPECT_EQ(page.model.RootPanel().type, u"HTML Document");
  EXPECT_EQ(page.model.RootPanel().url, u"http://site.test/");
}

TEST(InspectorTree, NoTreeWithoutAnHtmlDocumentOrWhileHidden) {
  Page page;
  page.model.RebuildInspectorTree();
  const std::string built = Outline(page.model.Tree());

  page.visible = false;
  page.browser.document = nullptr;
  page.model.RebuildInspectorTree();  // hidden: untouched
  EXPECT_EQ(Outline(page.model.Tree()), built);

  page.visible = true;
  page.model.RebuildInspectorTree();
  EXPECT_TRUE(page.model.Tree().Items().empty());
  EXPECT_EQ(page.model.Tree().NodeCount(), 0u);

  // Frames that report their own document again: the walks stop at the frame limit.
  auto loop = std::make_shared<FakeDomDocument>();
  loop->title = u"again";
  loop->links = {Anchor(u"a", u"u")};
  loop->frames = {loop, loop};
  page.browser.document = loop;
  page.model.RebuildInspectorTree();
  EXPECT_EQ(page.model.Tree().Items().size(), 7u + 1 + kMaxFrameDocuments);
  page.model.OnTreeItemChosen(ItemOf(page.model, u"Links"));
  EXPECT_EQ(page.model.LinkTable().rows.size(), 1u + kMaxFrameDocuments);
  loop->frames.clear();  // break the cycle so the fake is freed
}

TEST(InspectorPanes, SourceGoesThroughTheMatchingColorizer) {
  Page page;
  auto html = MakeElement(u"html");
  html->outerHtml = u"<html>caf\u00e9 \u4e2d</html>";
  page.top->htmlElement = html;
  page.model.RebuildInspectorTree();
  CInspectorModel& model = page.model;

  model.OnTreeItemChosen(ItemOf(model, u"Frameset page"));
  EXPECT_EQ(model.Pane(), InspectorPane::kText);
  EXPECT_EQ(model.RichText(), "H[<html>caf\xe9 ?</html>]");  // narrow code page

  model.OnTreeItemChosen(ItemOf(model, u"<style>"));
  EXPECT_EQ(model.RichText(), "C[p { color: red }]");
  model.OnTreeItemChosen(ItemOf(model, u"<SCRIPT>"));
  EXPECT_EQ(model.RichText(), "S[<script>var a;</script>]");
  model.OnTreeItemChosen(ItemOf(model, u"b.css"));  // empty text is still coloured
  EXPECT_EQ(model.RichText(), "C[]");

  // Unreadable text, a document without an HTML element, and the groups: emptied.
  for (const std::u16string_view label :
       {u"http://site.test/a.css", u"Frame B", u"Scripts", u"Document", u"StyleSheets"}) {
    model.OnTreeItemChosen(ItemOf(model, u"<SCRIPT>"));
    model.OnTreeItemChosen(ItemOf(model, label));
    EXPECT_EQ(model.Pane(), InspectorPane::kText) << ToUtf8(label);
    EXPECT_EQ(model.RichText(), "") << ToUtf8(label);
  }
  auto unreadable = Script(u"", u"");
  unreadable->outerHtml.reset();
  page.top->scripts = {unreadable};
  model.RebuildInspectorTree();
  model.OnTreeItemChosen(ItemOf(model, u"<SCRIPT>"));
  EXPECT_EQ(model.RichText(), "");

  // Positions outside the tree do nothing.
  model.OnTreeItemChosen(model.Tree().Items().size());
  EXPECT_EQ(model.SelectedItem(), ItemOf(model, u"<SCRIPT>"));
}

TEST(InspectorPanes, LinkImageAndFormFieldTables) {
  Page page;
  page.frameA->links = {Anchor(u"in A", u"http://site.test/x")};
  page.frameC->links = {Anchor(u"in C", u"http://site.test/c")};
  auto area = MakeElement(u"area");  // in the links collection, but no anchor
  page.top->links = {Anchor(u"Home", u"http://site.test/"), area, nullptr};
  auto named = MakeElement(u"logo");
  named->image =
      DomImageFields{u"logo", u"http://site.test/logo.png", 120, -1, u"2048", u"PNG Image"};
  auto unnamed = MakeElement(u"img");
  unnamed->image = DomImageFields{u"", u"data:x", 2147483647L, 0, u"", u""};
  page.top->images = {named, MakeElement(u"not an image"), unnamed, nullptr};
  page.frameA->images = {named};  // frames are not walked for images

  CallLog log;
  auto form = Form(u"<form name=f><input id=a></form>");
  form->id = u"form";
  form->log = &log;
  auto input = [](std::u16string type) {
    auto field = MakeElement(type);
    field->input = DomInputFields{u"id-" + type, u"n-" + type, type, u"v", u"INPUT"};
    return field;
  };
  form->formElements = {
      input(u"text"),   MakeElement(u"select"), input(u"hidden"), MakeElement(u"textarea"),
      input(u"button"), input(u"checkbox"),     nullptr};
  page.top->forms = {form};
  page.model.RebuildInspectorTree();
  CInspectorModel& model = page.model;

  model.OnTreeItemChosen(ItemOf(model, u"Links"));
  EXPECT_EQ(model.Pane(), InspectorPane::kLinks);
  EXPECT_EQ(model.LinkTable().rows, (TextRows{{u"in A", u"http://site.test/x"},
                                              {u"in C", u"http://site.test/c"},
                                              {u"Home", u"http://site.test/"}}));
  EXPECT_EQ(model.LinkTable().elements.size(), 3u);
  EXPECT_EQ(model.LinkTable().elements[2], page.top->links[0]);

  model.OnTreeItemChosen(ItemOf(model, u"Images"));
  EXPECT_EQ(model.Pane(), InspectorPane::kImages);
  EXPECT_EQ(model.ImageTable().rows,
            (TextRows{{u"logo", u"http://site.test/logo.png", u"120", u"-1", u"2048", u"PNG Image"},
                      {u"Untitled", u"data:x", u"2147483647", u"0", u"", u""}}));
  EXPECT_EQ(model.ImageTable().elements, (std::vector<DomElementRef>{named, unnamed}));
  model.OnTreeItemChosen(ItemOf(model, u"Links"));  // choosing again refills, not appends
  EXPECT_EQ(model.LinkTable().rows.size(), 3u);

  model.OnTreeItemChosen(ItemOf(model, u"Forms"));
  EXPECT_EQ(model.Pane(), InspectorPane::kFormFields);
  EXPECT_TRUE(model.FormFieldTable().rows.empty());
  EXPECT_TRUE(log.empty());

  model.OnTreeItemChosen(ItemOf(model, u"<form name=f>"));
  EXPECT_EQ(model.FormFieldTable().rows,
            (TextRows{{u"id-text", u"n-text", u"text", u"v", u"INPUT"},
                      {u"id-hidden", u"n-hidden", u"hidden", u"v", u"INPUT"},
                      {u"id-button", u"n-button", u"button", u"v", u"INPUT"},
                      {u"id-checkbox", u"n-checkbox", u"checkbox", u"v", u"INPUT"}}));
  EXPECT_EQ(log, (CallLog{u"form scroll", u"form border=1px red solid"}));
  EXPECT_EQ(model.HighlightedElement(), form);

  // A text part empties every table.
  model.OnTreeItemChosen(ItemOf(model, u"Scripts"));
  EXPECT_TRUE(model.LinkTable().rows.empty() && model.ImageTable().rows.empty() &&
              model.FormFieldTable().elements.empty());
  EXPECT_EQ(model.ShownTable(), nullptr);
}

TEST(InspectorHighlight, OutlineMovesAndGivesBackTheSavedStyles) {
  CallLog log;
  auto a = MakeElement(u"A", &log);
  a->style = DomStyleTexts{u"2px dotted blue", u"color: green; border: 2px dotted blue"};
  auto b = MakeElement(u"B", &log);
  b->style = DomStyleTexts{u"", u""};
  CElementHighlight highlight;

  highlight.HighlightElement(a);
  highlight.HighlightElement(b);
  EXPECT_EQ(
      log,
      (CallLog{u"A scroll", u"A border=1px red solid", u"B scroll", u"A border=2px dotted blue",
               u"A style=color: green; border: 2px dotted blue", u"B border=1px red solid"}));
  EXPECT_EQ(a->style->border, u"2px dotted blue");
  EXPECT_EQ(a->style->inlineStyle, u"color: green; border: 2px dotted blue");

  log.clear();
  highlight.RestoreHighlight();
  highlight.RestoreHighlight();  // still held: harmless
  EXPECT_EQ(log, (CallLog{u"B border=", u"B style=", u"B border=", u"B style="}));
  EXPECT_EQ(highlight.Element(), b);

  // An element whose style cannot be read is scrolled to but neither outlined nor held.
  log.clear();
  auto styleless = MakeElement(u"S", &log);
  styleless->style.reset();
  highlight.HighlightElement(styleless);
  highlight.RestoreHighlight();
  EXPECT_EQ(log, (CallLog{u"S scroll", u"B border=", u"B style="}));
  EXPECT_EQ(highlight.Element(), nullptr);
  highlight.HighlightElement(nullptr);
  EXPECT_EQ(log.size(), 3u);
}

TEST(InspectorHighlight, RowClicksAndArrowKeysOutlineTheRowsElement) {
  Page page;
  CallLog log;
  page.top->links = {Anchor(u"0", u"u0"), Anchor(u"1", u"u1"), Anchor(u"2", u"u2")};
  for (const auto& link : page.top->links)
    std::static_pointer_cast<FakeDomElement>(link)->log = &log;
  CInspectorModel& model = page.model;
  model.RebuildInspectorTree();
  model.OnTreeItemChosen(ItemOf(model, u"Links"));
  const auto outlined = [&] { return model.HighlightedElement(); };

  model.OnTableRowClicked(1);
  EXPECT_EQ(outlined(), page.top->links[1]);
  model.OnTableRowClicked(-1);
  model.OnTableRowClicked(3);
  model.OnTableArrowKey(false, 0);  // above the first row
  model.OnTableArrowKey(true, 2);   // below the last row
  EXPECT_EQ(outlined(), page.top->links[1]);
  model.OnTableArrowKey(true, 1);
  EXPECT_EQ(outlined(), page.top->links[2]);
  model.OnTableArrowKey(false, 1);
  EXPECT_EQ(outlined(), page.top->links[0]);
  model.OnTableArrowKey(true, -1);  // nothing selected: the first row
  EXPECT_EQ(outlined(), page.top->links[0]);
  model.OnTableArrowKey(false, -1);
  EXPECT_EQ(log.back(), u"0 border=1px red solid");

  // Rows of a hidden table do not react.
  model.OnTreeItemChosen(ItemOf(model, u"Root"));
  log.clear();
  model.OnTableRowClicked(2);
  EXPECT_TRUE(log.empty());
}

TEST(InspectorLifecycle, LoadingAndClearingEmptyEverythingAndReleaseTheNodes) {
  Page page;
  CallLog log;
  auto form = Form(u"<form>");
  form->log = &log;
  auto input = MakeElement(u"i");
  input->input = DomInputFields{};
  form->formElements = {input};
  page.top->forms = {form};
  page.top->links = {Anchor(u"l", u"u")};
  CInspectorModel& model = page.model;
  model.RebuildInspectorTree();
  const std::string built = Outline(model.Tree());
  EXPECT_EQ(form.use_count(), 3);  // here, in the page and in its node
  model.OnTreeItemChosen(ItemOf(model, u"<form>"));
  model.OnTreeItemChosen(ItemOf(model, u"<SCRIPT>"));
  model.OnTreeItemChosen(ItemOf(model, u"Links"));

  model.ShowInspectorLoading();
  EXPECT_EQ(Outline(model.Tree()), "~Loading... #-\n");
  EXPECT_EQ(model.Tree().NodeCount(), 0u);
  EXPECT_TRUE(model.RichText().empty() && model.LinkTable().rows.empty() &&
              model.FormFieldTable().rows.empty());
  EXPECT_EQ(page.top->scripts[0].use_count(), 1);                           // the node let go of it
  EXPECT_EQ(log, (CallLog{u"form scroll", u"form border=1px red solid"}));  // outline stays

  model.OnTreeItemChosen(0);  // the placeholder carries no node
  EXPECT_EQ(model.Pane(), InspectorPane::kLinks);
  model.ShowInspectorLoading();  // already one item
  EXPECT_EQ(model.Tree().Items().size(), 1u);

  model.RebuildInspectorTree();
  EXPECT_EQ(Outline(model.Tree()), built);
  model.ClearInspector();
  EXPECT_TRUE(model.Tree().Items().empty());
  EXPECT_FALSE(model.SelectedItem());
  EXPECT_EQ(log.back(), u"form style=");  // outline undone
  model.ShowInspectorLoading();           // from an empty tree
  EXPECT_EQ(Outline(model.Tree()), "~Loading... #-\n");
}

}  // namespace
}  // namespace tracewell
