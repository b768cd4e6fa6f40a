// The browser's navigation events as the band's page inspector shows them: a
// navigation puts "Loading..." in its tree until the top-level document (the first
// that finished navigating) has loaded, when the tree is made again from the page.
// Wine has no MSHTML, so a browser without a page of fake MSHTML objects gives an
// empty tree.

#include <windows.h>

#include <commctrl.h>
#include <exdispid.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "band_fixture.h"
#include "unit/fake_page.h"

namespace tracewell::win::test {
namespace {

struct TreeItem {
  std::wstring label;
  bool dimmed = false;
  bool operator==(const TreeItem&) const = default;
};

const std::vector<TreeItem> kLoading{{L"Loading...", true}};

class PageEventsTest : public SitedBandTest {
 protected:
  void SetUp() override {
    SitedBandTest::SetUp();
    // The tree lives in the "Content" tab of the detail pane.
    const HWND pane = FindWindowExW(BandWindow(), nullptr, L"TracewellDetailPane", nullptr);
    m_tree = FindWindowExW(FindWindowExW(pane, nullptr, L"TracewellContentView", nullptr), nullptr,
                           WC_TREEVIEWW, nullptr);
    ASSERT_NE(nullptr, m_tree);
  }
  void TearDown() override {
    SitedBandTest::TearDown();
    EXPECT_EQ(0, m_frame.References());
  }

  // Every item of the tree, top-level ones and their children in order.
  std::vector<TreeItem> Items() const {
    std::vector<TreeItem> items;
    EXPECT_EQ(259, GetDlgCtrlID(m_tree));
    AppendItems(items, nullptr);
    EXPECT_EQ(static_cast<LRESULT>(items.size()), SendMessageW(m_tree, TVM_GETCOUNT, 0, 0));
    return items;
  }

  void AppendItems(std::vector<TreeItem>& items, HTREEITEM parent) const {
    auto next = [this](HTREEITEM from, WPARAM how) {
      return reinterpret_cast<HTREEITEM>(SendMessageW(m_tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(from)));
    };
    for (HTREEITEM item = next(parent, parent == nullptr ? TVGN_ROOT : TVGN_CHILD); item != nullptr;
         item = next(item, TVGN_NEXT)) {
      wchar_t text[256] = {};
      TVITEMW fields{};
      fields.mask = TVIF_TEXT | TVIF_STATE;
      fields.hItem = item;
      fields.stateMask = TVIS_CUT;
      fields.pszText = text;
      fields.cchTextMax = 256;
      SendMessageW(m_tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&fields));
      items.push_back({text, (fields.state & TVIS_CUT) != 0});
      AppendItems(items, item);
    }
  }

  HWND m_tree = nullptr;
  CFakeBrowser m_frame;  // the browser object of a frame in the page
};

TEST_F(PageEventsTest, NavigationShowsLoadingUntilTheTopDocumentHasLoaded) {
  EXPECT_TRUE(Items().empty());
  ASSERT_TRUE(m_browser.Fire(DISPID_BEFORENAVIGATE2));
  EXPECT_EQ(kLoading, Items());
  ASSERT_TRUE(m_browser.Fire(DISPID_BEFORENAVIGATE2));  // the frame's
  EXPECT_EQ(kLoading, Items());
  ASSERT_TRUE(m_browser.FireDocumentEvent(DISPID_NAVIGATECOMPLETE2, &m_browser));
  ASSERT_TRUE(m_browser.FireDocumentEvent(DISPID_NAVIGATECOMPLETE2, &m_frame));
  ASSERT_TRUE(m_browser.Fire(DISPID_DOWNLOADBEGIN));
  ASSERT_TRUE(m_browser.FireDocumentEvent(DISPID_DOCUMENTCOMPLETE, &m_frame));
  ASSERT_TRUE(m_browser.Fire(DISPID_DOWNLOADCOMPLETE));
  ASSERT_TRUE(m_browser.Fire(DISPID_TITLECHANGE));
  EXPECT_EQ(kLoading, Items());
  ASSERT_TRUE(m_browser.FireDocumentEvent(DISPID_DOCUMENTCOMPLETE, &m_browser));
  EXPECT_TRUE(Items().empty());
}

// After a page has loaded, the next navigation's top document is again the first to
// finish navigating, here the frame's.
TEST_F(PageEventsTest, EachNavigationRemembersItsOwnTopDocument) {
  m_browser.Fire(DISPID_BEFORENAVIGATE2);
  m_browser.FireDocumentEvent(DISPID_NAVIGATECOMPLETE2, &m_browser);
  m_browser.FireDocumentEvent(DISPID_DOCUMENTCOMPLETE, &m_browser);
  ASSERT_TRUE(Items().empty());

  m_browser.Fire(DISPID_BEFORENAVIGATE2);
  m_browser.FireDocumentEvent(DISPID_NAVIGATECOMPLETE2, &m_frame);
  m_browser.FireDocumentEvent(DISPID_NAVIGATECOMPLETE2, &m_browser);
  m_browser.FireDocumentEvent(DISPID_DOCUMENTCOMPLETE, &m_browser);
  EXPECT_EQ(kLoading, Items());
  m_browser.FireDocumentEvent(DISPID_DOCUMENTCOMPLETE, &m_frame);
  EXPECT_TRUE(Items().empty());
}

// Hiding the band empties the tree; a document event that names no document changes
// nothing.
TEST_F(PageEventsTest, HidingEmptiesTheTreeAndEventsWithoutADocumentAreIgnored) {
  m_browser.Fire(DISPID_BEFORENAVIGATE2);
  ASSERT_EQ(S_OK, m_band->ShowDW(FALSE));
  EXPECT_TRUE(Items().empty());
  ASSERT_EQ(S_OK, m_band->ShowDW(TRUE));
  EXPECT_TRUE(Items().empty());

  m_browser.Fire(DISPID_BEFORENAVIGATE2);
  m_browser.Fire(DISPID_NAVIGATECOMPLETE2);
  m_browser.Fire(DISPID_DOCUMENTCOMPLETE);
  EXPECT_EQ(kLoading, Items());
  m_browser.FireDocumentEvent(DISPID_DOCUMENTCOMPLETE, &m_browser);
  EXPECT_EQ(kLoading, Items());
}

// The band reads the browser's page through MSHTML: the loaded page gives the tree
// of its parts, and hiding the band gives back every reference the tree took.
TEST_F(PageEventsTest, TheLoadedPageGivesTheTreeOfItsParts) {
  FakePage page;
  m_browser.page = page.document.As<IHTMLDocument2>();
  m_browser.Fire(DISPID_BEFORENAVIGATE2);
  m_browser.FireDocumentEvent(DISPID_NAVIGATECOMPLETE2, &m_browser);
  m_browser.FireDocumentEvent(DISPID_DOCUMENTCOMPLETE, &m_browser);

  const std::vector<TreeItem> parts{
      {L"Root"},     {L"Document"},    {L"Test page"}, {L"http://127.0.0.1/frame.html"},
      {L"Scripts"},  {L"<SCRIPT>"},    {L"http://127.0.0.1/app.js"}, {L"http://127.0.0.1/frame.js"},
      {L"Images"},   {L"StyleSheets"}, {L"<style>"},   {L"http://127.0.0.1/site.css"},
      {L"Links"},    {L"Forms"},       {L"<form action=\"/go\">"}};
  EXPECT_EQ(parts, Items());

  ASSERT_EQ(S_OK, m_band->ShowDW(FALSE));
  m_browser.page = nullptr;
  EXPECT_EQ(std::vector<std::u16string>{}, page.objects.StillHeld());
}

}  // namespace
}  // namespace tracewell::win::test
