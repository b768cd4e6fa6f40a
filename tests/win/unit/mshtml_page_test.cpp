// The Content tab's model over the browser's page read through MSHTML, the page being
// fake COM objects that answer as MSHTML does: the part tree of the page and its
// frame, the tables, the sources, the outline; each failing call or missing interface
// leaves out just that object; and every reference taken is given back (checked after
// each test).

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "bstr_text.h"
#include "inspector/inspector_model.h"
#include "unit/fake_page.h"
#include "win_web_browser.h"

namespace tracewell::win::test {
namespace {

using Rows = TextRows;  // a table's rows as the model holds them

// The whole page as the tree shows it, each level indented by two.
const std::u16string kPageOutline =
    u"Root\n"
    u"  Document\n"
    u"    Test page\n"
    u"      http://127.0.0.1/frame.html\n"
    u"  Scripts\n"
    u"    <SCRIPT>\n"
    u"    http://127.0.0.1/app.js\n"
    u"    http://127.0.0.1/frame.js\n"
    u"  Images\n"
    u"  StyleSheets\n"
    u"    <style>\n"
    u"    http://127.0.0.1/site.css\n"
    u"  Links\n"
    u"  Forms\n"
    u"    <form action=\"/go\">\n";

class MshtmlPageTest : public ::testing::Test {
 protected:
  void SetUp() override { m_browser.SetBrowser(m_page.browser.As<IWebBrowser2>()); }

  void TearDown() override {
    m_model.reset();
    m_browser.SetBrowser(nullptr);
    EXPECT_EQ(std::vector<std::u16string>{}, m_page.objects.StillHeld());
  }

  std::u16string Outline() const {
    std::u16string out;
    AppendOutline(out, std::nullopt, u"");
    return out;
  }

  void AppendOutline(std::u16string& out, std::optional<std::size_t> parent, const std::u16string& indent) const {
    const auto& items = m_model->Tree().Items();
    for (std::size_t item = 0; item < items.size(); ++item) {
      if (items[item].parent != parent) continue;
      out += indent + items[item].label + u"\n";
      AppendOutline(out, item, indent + u"  ");
    }
  }

  void Choose(const std::u16string& label) {
    const auto& items = m_model->Tree().Items();
    for (std::size_t item = 0; item < items.size(); ++item) {
      if (items[item].label == label) return m_model->OnTreeItemChosen(item);
    }
    ADD_FAILURE() << "no tree item " << std::string(label.begin(), label.end());
  }

  FakePage m_page;
  CWinWebBrowser m_browser;
  CSourceColorizer m_colorizer;
  std::optional<CInspectorModel> m_model{std::in_place, m_browser, m_colorizer, [] { return true; }};
};

TEST_F(MshtmlPageTest, TreeHoldsThePageAndItsFrameUnderTheSharedGroups) {
  m_model->RebuildInspectorTree();
  EXPECT_EQ(kPageOutline, Outline());

  const RootPanelTexts& root = m_model->RootPanel();
  EXPECT_EQ(u"Test page", root.name);
  EXPECT_EQ(u"HTML Document", root.type);
  EXPECT_EQ(u"http://127.0.0.1/page.html", root.url);
}

TEST_F(MshtmlPageTest, TablesTakeTheirFieldsFromTheElementsKinds) {
  m_model->RebuildInspectorTree();

  Choose(u"Links");
  EXPECT_EQ((Rows{{u"inner", u"http://127.0.0.1/inner"}, {u"one", u"http://127.0.0.1/one"}}),
            m_model->LinkTable().rows);
  Choose(u"Images");
  EXPECT_EQ((Rows{{u"Untitled", u"http://127.0.0.1/a.png", u"16", u"8", u"1234", u"PNG Image"}}),
            m_model->ImageTable().rows);
  // The selection list between the two inputs gives no row.
  Choose(u"<form action=\"/go\">");
  EXPECT_EQ((Rows{{u"q1", u"q", u"text", u"caf\u00E9", u"INPUT"}, {u"token", u"q", u"hidden", u"42", u"INPUT"}}),
            m_model->FormFieldTable().rows);
}

TEST_F(MshtmlPageTest, SourcesOfTheDocumentScriptsAndStyleSheets) {
  m_model->RebuildInspectorTree();

  Choose(u"Test page");
  EXPECT_NE(std::string::npos, m_model->RichText().find("Hello"));
  Choose(u"<SCRIPT>");
  EXPECT_NE(std::string::npos, m_model->RichText().find("var"));
  Choose(u"http://127.0.0.1/site.css");
  EXPECT_NE(std::string::npos, m_model->RichText().find("margin"));
  // The frame's document offers no way to look elements up by tag: no source.
  Choose(u"http://127.0.0.1/frame.html");
  EXPECT_EQ("", m_model->RichText());
}

TEST_F(MshtmlPageTest, TheSourceIsTheHtmlElementsMarkupWhenItCanBeRead) {
  m_page.html.Fail<&IHTMLElement::get_outerHTML>();
  m_model->RebuildInspectorTree();
  Choose(u"Test page");
  EXPECT_EQ("", m_model->RichText());
}

TEST_F(MshtmlPageTest, OutlineSavesTheInlineStyleAndGivesItBack) {
  m_model->RebuildInspectorTree();
  Choose(u"Links");
  m_model->OnTableRowClicked(1);
  m_model->OnTableRowClicked(0);
  m_model->ClearInspector();
  EXPECT_EQ((FakeCallLog{u"anchor scroll(true)", u"anchor style border=1px red solid", u"frame anchor scroll(true)",
                         u"anchor style border=", u"anchor style cssText=color: blue",
                         u"frame anchor style border=1px red solid", u"frame anchor style border=",
                         u"frame anchor style cssText=color: blue"}),
            m_page.log);
}

TEST_F(MshtmlPageTest, AnElementWhoseStyleCannotBeReadIsScrolledToButNotOutlined) {
  m_page.form.Fail<&IHTMLElement::get_style>();
  m_model->RebuildInspectorTree();
  Choose(u"<form action=\"/go\">");
  EXPECT_EQ((FakeCallLog{u"form scroll(true)"}), m_page.log);
}

TEST_F(MshtmlPageTest, FailingCallsAndMissingInterfacesLeaveOutThatPartOfTheTree) {
  m_page.inlineScript.Fail<&IHTMLScriptElement::get_src>();
  m_page.styleBlock.Fail<&IHTMLStyleSheet::get_href>();
  // A frame of another site refuses its document.
  m_page.frameWindow.Fail<&IHTMLWindow2::get_document>(E_ACCESSDENIED);
  // Forms: an item whose call fails, an object that is no element, an element that is
  // no form, and the form; and a length that overstates what is there.
  CFakeCom& notAnElement = m_page.objects.Add(u"not an element").Offer<IHTMLStyleSheet>();
  m_page.forms.SetNumber<&IHTMLElementCollection::get_length>(6).SetItems<&IHTMLElementCollection::item>(
      {nullptr, &notAnElement, &m_page.image, &m_page.form});

  m_model->RebuildInspectorTree();
  EXPECT_EQ(
      u"Root\n"
      u"  Document\n"
      u"    Test page\n"
      u"  Scripts\n"
      u"    http://127.0.0.1/app.js\n"
      u"  Images\n"
      u"  StyleSheets\n"
      u"    http://127.0.0.1/site.css\n"
      u"  Links\n"
      u"  Forms\n"
      u"    <form action=\"/go\">\n",
      Outline());
}

TEST_F(MshtmlPageTest, CollectionsTheDocumentFailsToGiveReadAsEmpty) {
  m_page.document.Fail<&IHTMLDocument2::get_forms>()
      .Fail<&IHTMLDocument2::get_scripts>()
      .Fail<&IHTMLDocument2::get_styleSheets>()
      .Fail<&IHTMLDocument2::get_frames>()
      .Fail<&IHTMLDocument2::get_title>();
  m_model->RebuildInspectorTree();
  EXPECT_EQ(
      u"Root\n"
      u"  Document\n"
      u"    http://127.0.0.1/page.html\n"
      u"  Scripts\n"
      u"  Images\n"
      u"  StyleSheets\n"
      u"  Links\n"
      u"  Forms\n",
      Outline());
}

TEST_F(MshtmlPageTest, RowsWhoseFieldsFailOrWhoseElementsAreOfAnotherKindAreLeftOut) {
  m_page.frameAnchor.Fail<&IHTMLElement::get_innerText>();
  m_page.image.Fail<&IHTMLImgElement::get_width>();
  m_page.hiddenInput.Fail<&IHTMLInputElement::get_value>();
  // An image among the links and a link among the images.
  m_page.links.SetNumber<&IHTMLElementCollection::get_length>(2).SetItems<&IHTMLElementCollection::item>(
      {&m_page.image, &m_page.anchor});
  m_page.images.SetNumber<&IHTMLElementCollection::get_length>(2).SetItems<&IHTMLElementCollection::item>(
      {&m_page.anchor, &m_page.image});
  m_model->RebuildInspectorTree();

  Choose(u"Links");
  EXPECT_EQ((Rows{{u"one", u"http://127.0.0.1/one"}}), m_model->LinkTable().rows);
  Choose(u"Images");
  EXPECT_EQ(Rows{}, m_model->ImageTable().rows);
  Choose(u"<form action=\"/go\">");
  EXPECT_EQ((Rows{{u"q1", u"q", u"text", u"caf\u00E9", u"INPUT"}}), m_model->FormFieldTable().rows);
}

TEST_F(MshtmlPageTest, NoTreeWithoutAnHtmlDocument) {
  CFakeCom& pdf = m_page.objects.Add(u"pdf").Offer<IDispatch>();
  const std::vector<std::pair<const char*, std::function<void()>>> browsers = {
      {"no document", [&] { m_page.browser.SetObject<&IWebBrowser2::get_Document, IWebBrowser2>(nullptr); }},
      {"another kind", [&] { m_page.browser.SetObject<&IWebBrowser2::get_Document, IWebBrowser2>(&pdf); }},
      {"call fails", [&] { m_page.browser.Fail<&IWebBrowser2::get_Document, IWebBrowser2>(); }},
  };
  for (const auto& [name, makeBrowser] : browsers) {
    SCOPED_TRACE(name);
    makeBrowser();
    m_model->RebuildInspectorTree();
    EXPECT_EQ(0u, m_model->Tree().Items().size());
  }
}

// Text handed back by COM: a null BSTR is the empty text, and the BSTR of a failed
// call is freed but not read.
TEST(BstrText, TakesTheTextOfASucceededCallOnly) {
  EXPECT_EQ(std::optional<std::u16string>(u"caf\u00E9"), TakeBstr(S_OK, SysAllocString(L"caf\u00E9")));
  EXPECT_EQ(std::optional<std::u16string>(u""), TakeBstr(S_FALSE, nullptr));
  EXPECT_EQ(std::nullopt, TakeBstr(E_FAIL, SysAllocString(L"partial")));

  const CBstr text(std::u16string_view(u"a\0b", 3));
  ASSERT_TRUE(text);
  EXPECT_EQ(3u, SysStringLen(text.Get()));
}

}  // namespace
}  // namespace tracewell::win::test
