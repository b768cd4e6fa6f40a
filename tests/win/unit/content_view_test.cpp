// The "Content" tab's Win32 binding over an in-memory page: the tree shows the
// inspector's items, choosing one fills the pane beside it (the rich edit with the
// colourer's RTF, a table's rows, the page summary), a click or an arrow key in a
// table outlines that row's element on the page, hiding the view takes the outline
// off, and the tables' copy keys put their rows on the clipboard.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "content_view.h"
#include "list_controls.h"
#include "module.h"
#include "support/fake_dom.h"
#include "wide_text.h"
#include "win_clipboard.h"

namespace tracewell::win::test {
namespace {

using testing::CallLog;
using testing::FakeDomDocument;
using testing::FakeDomElement;
using testing::FakeDomStyleSheet;
using testing::FakeWebBrowser;
using testing::MakeElement;

const std::u16string kPageSource = u"<html><body class=\"page\">Hello {you}</body></html>";

std::shared_ptr<FakeDomElement> Anchor(std::u16string text, std::u16string href, CallLog& log) {
  auto anchor = MakeElement(text, &log);
  anchor->link = DomLinkFields{std::move(text), std::move(href)};
  anchor->style = DomStyleTexts{u"", u"color: blue"};
  return anchor;
}

std::shared_ptr<FakeDomElement> Input(std::u16string id, std::u16string value) {
  auto input = MakeElement(id);
  input->input = DomInputFields{id, u"q", u"text", std::move(value), u"INPUT"};
  return input;
}

// A page with one of everything: source, an inline script, a style block, an image
// without a name, two links, and a form of two inputs and a selection list.
struct Page {
  CallLog log;
  std::shared_ptr<FakeDomDocument> document = std::make_shared<FakeDomDocument>();
  FakeWebBrowser browser;
  CSourceColorizer colorizer;
  CInspectorModel model{browser, colorizer, [] { return true; }};

  Page() {
    document->title = u"Test page";
    document->url = u"http://127.0.0.1/page.html";
    auto html = MakeElement(u"html");
    html->outerHtml = kPageSource;
    document->htmlElement = html;
    auto script = MakeElement(u"script");
    script->scriptSrc = u"";
    script->outerHtml = u"<script>var a = 1;</script>";
    document->scripts = {script};
    auto sheet = std::make_shared<FakeDomStyleSheet>();
    sheet->href = u"";
    sheet->cssText = u"p { color: red }";
    document->styleSheets = {sheet};
    auto image = MakeElement(u"img");
    image->image = DomImageFields{u"", u"http://127.0.0.1/a.png", 16, 8, u"1234", u"PNG Image"};
    document->images = {image};
    document->links = {Anchor(u"one", u"http://127.0.0.1/one", log), Anchor(u"two", u"http://127.0.0.1/two", log)};
    auto form = MakeElement(u"form", &log);
    form->form = true;
    form->outerHtml = u"<form action=\"/go\"><input name=q></form>";
    form->formElements = {Input(u"q1", u"caf\u00E9"), MakeElement(u"select"), Input(u"q2", u"")};
    document->forms = {form};
    browser.document = document;
    browser.name = u"Test & page";
    browser.url = u"http://127.0.0.1/page.html";
  }
};

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

class ContentViewTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    CBandkitModule::Get().Init(GetModuleHandleW(nullptr));
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    s_richEdit = LoadLibraryW(L"RICHED20.DLL");
  }
  static void TearDownTestSuite() { FreeLibrary(s_richEdit); }

  void SetUp() override {
    ASSERT_NE(nullptr, s_richEdit);
    m_parent = CreateWindowExW(0, L"STATIC", L"parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1000, 400, nullptr,
                               nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, m_parent);
    m_clipboard.SetOwner(m_parent);
    ASSERT_TRUE(m_view.Create(m_parent));
    MoveWindow(m_view.Handle(), 0, 0, 800, 300, TRUE);
    ShowWindow(m_view.Handle(), SW_SHOW);
  }
  void TearDown() override { DestroyWindow(m_parent); }

  HWND Control(int id) const { return GetDlgItem(m_view.Handle(), id); }
  HWND Tree() const { return Control(inspector_control::kTree); }
  HWND RootPanel() const { return FindWindowExW(m_view.Handle(), nullptr, L"TracewellRootPanel", nullptr); }

  // The one pane of the right side that is shown.
  std::vector<HWND> ShownPanes() const {
    std::vector<HWND> shown;
    for (const HWND pane : {Control(inspector_control::kText), Control(inspector_control::kImageTable),
                            Control(inspector_control::kLinkTable), Control(inspector_control::kFormFieldTable),
                            RootPanel()}) {
      if (IsWindowVisible(pane)) shown.push_back(pane);
    }
    return shown;
  }

  // The tree's labels depth first, an indent of two per level, "*" on the selection.
  std::wstring Outline() const {
    std::wstring out;
    AppendOutline(out, nullptr, L"");
    return out;
  }

  void AppendOutline(std::wstring& out, HTREEITEM parent, const std::wstring& indent) const {
    const auto selected = reinterpret_cast<HTREEITEM>(SendMessageW(Tree(), TVM_GETNEXTITEM, TVGN_CARET, 0));
    for (HTREEITEM item = Next(parent, parent == nullptr ? TVGN_ROOT : TVGN_CHILD); item != nullptr;
         item = Next(item, TVGN_NEXT)) {
      out += indent + (item == selected ? L"*" : L"") + Label(item) + L"\n";
      AppendOutline(out, item, indent + L"  ");
    }
  }

  HTREEITEM Next(HTREEITEM from, WPARAM how) const {
    return reinterpret_cast<HTREEITEM>(SendMessageW(Tree(), TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(from)));
  }

  std::wstring Label(HTREEITEM item) const {
    wchar_t text[256] = {};
    TVITEMW fields{};
    fields.mask = TVIF_TEXT;
    fields.hItem = item;
    fields.pszText = text;
    fields.cchTextMax = 256;
    SendMessageW(Tree(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&fields));
    return text;
  }

  HTREEITEM Find(HTREEITEM parent, const std::wstring& label) const {
    for (HTREEITEM item = Next(parent, parent == nullptr ? TVGN_ROOT : TVGN_CHILD); item != nullptr;
         item = Next(item, TVGN_NEXT)) {
      if (Label(item) == label) return item;
      if (const HTREEITEM found = Find(item, label)) return found;
    }
    return nullptr;
  }

  // The item chosen as a click on it chooses it.
  void Choose(const std::wstring& label) {
    const HTREEITEM item = Find(nullptr, label);
    ASSERT_NE(nullptr, item) << std::string(label.begin(), label.end());
    SendMessageW(Tree(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
  }

  void Rebuild() {
    m_page.model.RebuildInspectorTree();
    m_view.Refresh();
  }

  static inline HMODULE s_richEdit = nullptr;
  Page m_page;
  HWND m_parent = nullptr;
  CWinClipboard m_clipboard{nullptr};
  CContentView m_view{m_page.model, m_clipboard};
};

TEST_F(ContentViewTest, ControlsTheirColumnsAndTheDividerAtAQuarter) {
  EXPECT_EQ(std::wstring(L"Content"), TextOf(m_view.Handle()));
  RECT tree{};
  GetWindowRect(Tree(), &tree);
  EXPECT_EQ(InspectorDividerFor(800), tree.right - tree.left);
  MoveWindow(m_view.Handle(), 0, 0, 640, 300, TRUE);
  GetWindowRect(Tree(), &tree);
  EXPECT_EQ(160, tree.right - tree.left);
  EXPECT_EQ(300, tree.bottom - tree.top);

  EXPECT_EQ(std::wstring(L"RichEdit20W"), [&] {
    wchar_t name[64] = {};
    GetClassNameW(Control(inspector_control::kText), name, 64);
    return std::wstring(name);
  }());
  EXPECT_NE(0, GetWindowLongW(Control(inspector_control::kText), GWL_STYLE) & ES_MULTILINE);
  EXPECT_NE(0, GetWindowLongW(Tree(), GWL_STYLE) & TVS_HASLINES);
  EXPECT_NE(0, GetWindowLongW(Tree(), GWL_STYLE) & TVS_HASBUTTONS);
  for (const DetailList* layout : {&kImageTableList, &kLinkTableList, &kFormFieldTableList}) {
    const HWND table = Control(layout->id);
    ASSERT_NE(nullptr, table) << layout->id;
    // Grid lines, full-row select, info tips and label tips.
    EXPECT_EQ(0x4421, SendMessageW(table, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    ASSERT_EQ(static_cast<int>(layout->columns.size()), ColumnCount(table));
    for (std::size_t column = 0; column < layout->columns.size(); ++column) {
      wchar_t text[64] = {};
      LVCOLUMNW info{};
      info.mask = LVCF_TEXT | LVCF_WIDTH;
      info.pszText = text;
      info.cchTextMax = 64;
      SendMessageW(table, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&info));
      EXPECT_EQ(Wide(layout->columns[column].title), text);
      EXPECT_EQ(layout->columns[column].width, info.cx);
    }
  }
  std::vector<std::wstring> panelTexts;
  for (HWND child = GetWindow(RootPanel(), GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    panelTexts.push_back(TextOf(child));
  }
  EXPECT_EQ((std::vector<std::wstring>{L"Name:", L"", L"Type:", L"", L"URL:", L""}), panelTexts);
  EXPECT_EQ(std::wstring(L"Root"), TextOf(RootPanel()));
  // Without a page: an empty tree and the empty text box.
  EXPECT_EQ(L"", Outline());
  EXPECT_EQ(std::vector<HWND>{Control(inspector_control::kText)}, ShownPanes());
}

TEST_F(ContentViewTest, RebuiltTreeSelectsTheRootAndShowsThePageSummary) {
  Rebuild();
  EXPECT_EQ(L"*Root\n"
            L"  Document\n"
            L"    Test page\n"
            L"  Scripts\n"
            L"    <SCRIPT>\n"
            L"  Images\n"
            L"  StyleSheets\n"
            L"    <style>\n"
            L"  Links\n"
            L"  Forms\n"
            L"    <form action=\"/go\">\n",
            Outline());
  EXPECT_EQ(std::vector<HWND>{RootPanel()}, ShownPanes());
  EXPECT_EQ(L"Test & page", TextOf(GetDlgItem(RootPanel(), inspector_control::kRootName)));
  EXPECT_EQ(L"HTML Document", TextOf(GetDlgItem(RootPanel(), inspector_control::kRootType)));
  EXPECT_EQ(L"http://127.0.0.1/page.html", TextOf(GetDlgItem(RootPanel(), inspector_control::kRootUrl)));

  m_page.model.ShowInspectorLoading();
  m_view.Refresh();
  EXPECT_EQ(L"Loading...\n", Outline());
  // The dimmed item has no node: choosing it changes nothing.
  Choose(L"Loading...");
  EXPECT_EQ(std::vector<HWND>{RootPanel()}, ShownPanes());
}

// The colourers' RTF goes into the rich edit as RTF: the box holds the source's
// characters without any control word.
TEST_F(ContentViewTest, SourceNodesShowTheirTextInTheRichEdit) {
  Rebuild();
  const HWND text = Control(inspector_control::kText);
  const auto shown = [&] {
    std::wstring all = TextOf(text);
    while (!all.empty() && (all.back() == L'\r' || all.back() == L'\n')) all.pop_back();
    return all;
  };
  Choose(L"Test page");
  EXPECT_EQ(std::vector<HWND>{text}, ShownPanes());
  EXPECT_EQ(Wide(kPageSource), shown());
  Choose(L"<style>");
  EXPECT_EQ(L"p { color: red }", shown());
  Choose(L"<SCRIPT>");
  EXPECT_EQ(L"<script>var a = 1;</script>", shown());
  // A group shows the emptied text box.
  Choose(L"Scripts");
  EXPECT_EQ(std::vector<HWND>{text}, ShownPanes());
  EXPECT_EQ(L"", shown());
}

TEST_F(ContentViewTest, TableNodesFillTheirTablesAndAFormIsOutlined) {
  Rebuild();
  Choose(L"Images");
  const HWND images = Control(inspector_control::kImageTable);
  EXPECT_EQ(std::vector<HWND>{images}, ShownPanes());
  EXPECT_EQ((ListRows{{L"Untitled", L"http://127.0.0.1/a.png", L"16", L"8", L"1234", L"PNG Image"}}),
            ReadRows(images));

  Choose(L"Links");
  const HWND links = Control(inspector_control::kLinkTable);
  EXPECT_EQ(std::vector<HWND>{links}, ShownPanes());
  EXPECT_EQ((ListRows{{L"one", L"http://127.0.0.1/one"}, {L"two", L"http://127.0.0.1/two"}}), ReadRows(links));
  EXPECT_TRUE(m_page.log.empty());

  Choose(L"Forms");
  const HWND fields = Control(inspector_control::kFormFieldTable);
  EXPECT_EQ(std::vector<HWND>{fields}, ShownPanes());
  EXPECT_TRUE(ReadRows(fields).empty());
  Choose(L"<form action=\"/go\">");
  EXPECT_EQ((ListRows{{L"q1", L"q", L"text", L"caf\u00E9", L"INPUT"}, {L"q2", L"q", L"text", L"", L"INPUT"}}),
            ReadRows(fields));
  EXPECT_EQ((CallLog{u"form scroll", u"form border=1px red solid"}), m_page.log);
  // The root again: the summary, the tables' rows kept for the next choice of theirs.
  Choose(L"Root");
  EXPECT_EQ(std::vector<HWND>{RootPanel()}, ShownPanes());
}

// A click outlines the row's element; Down and Up outline the next row's before the
// list moves; hiding the view gives the last one its style back.
TEST_F(ContentViewTest, TableClicksAndArrowsOutlineTheRowsElement) {
  Rebuild();
  Choose(L"Links");
  const HWND links = Control(inspector_control::kLinkTable);
  LeftClick(links, 1, 0);
  EXPECT_EQ((CallLog{u"two scroll", u"two border=1px red solid"}), m_page.log);
  ASSERT_EQ(1, SendMessageW(links, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));

  m_page.log.clear();
  PressKey(links, VK_UP, false);
  EXPECT_EQ((CallLog{u"one scroll", u"two border=", u"two style=color: blue", u"one border=1px red solid"}),
            m_page.log);
  m_page.log.clear();
  PressKey(links, VK_DOWN, false);  // from the row the list moved to
  EXPECT_EQ((CallLog{u"two scroll", u"one border=", u"one style=color: blue", u"two border=1px red solid"}),
            m_page.log);
  m_page.log.clear();
  PressKey(links, VK_DOWN, false);  // past the last row: nothing
  EXPECT_TRUE(m_page.log.empty());

  ShowWindow(m_view.Handle(), SW_HIDE);
  EXPECT_EQ((CallLog{u"two border=", u"two style=color: blue"}), m_page.log);
}

// Ctrl+A then Ctrl+C on the table shown copies its rows as CF_TEXT in the thread's
// code page; a right click's menu commands act on it too, as on every detail list.
TEST_F(ContentViewTest, CopyKeysPutTheTablesRowsOnTheClipboard) {
  Rebuild();
  Choose(L"<form action=\"/go\">");
  const HWND fields = Control(inspector_control::kFormFieldTable);
  PressKey(fields, 'A', true);
  EXPECT_EQ(2, SendMessageW(fields, LVM_GETSELECTEDCOUNT, 0, 0));
  PressKey(fields, 'C', true);
  EXPECT_EQ("q1  q  text  caf\xE9  INPUT  \r\nq2  q  text    INPUT  \r\n", ClipboardText());

  Choose(L"Links");
  const HWND links = Control(inspector_control::kLinkTable);
  LeftClick(links, 0, 0);
  PressKey(links, 'C', true);
  EXPECT_EQ("one  http://127.0.0.1/one  \r\n", ClipboardText());
}

}  // namespace
}  // namespace tracewell::win::test
