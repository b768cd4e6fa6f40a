#pragma once
// The "Content" tab as a model: the part tree of the document the browser shows, the
// right-hand pane for the chosen part (coloured source, one of three tables, or the
// page summary), and the red outline on the element a table row stands for. The
// desktop view binds a tree, a rich text box, three lists and a panel to it.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "inspector/dom_interfaces.h"
#include "inspector/inspector_colorizer.h"
#include "inspector/inspector_highlight.h"
#include "inspector/inspector_rows.h"
#include "inspector/inspector_tree.h"

namespace tracewell {

namespace inspector_control {
inline constexpr int kTree = 259;
inline constexpr int kText = 260;
inline constexpr int kImageTable = 265;
inline constexpr int kLinkTable = 266;
inline constexpr int kFormFieldTable = 267;
inline constexpr int kRootName = 272;
inline constexpr int kRootType = 273;
inline constexpr int kRootUrl = 274;
}  // namespace inspector_control

// The three tables as lists: their ids take part in the copy and selection commands.
inline constexpr DetailList kImageTableList{inspector_control::kImageTable, kImageColumns};
inline constexpr DetailList kLinkTableList{inspector_control::kLinkTable, kLinkColumns};
inline constexpr DetailList kFormFieldTableList{inspector_control::kFormFieldTable,
                                                kFormFieldColumns};

// The divider between the tree and the right pane stands at a quarter of the view's
// width after every resize.
constexpr int InspectorDividerFor(int viewWidth) { return viewWidth / 4; }

inline constexpr std::u16string_view kInspectorTitle = u"Content";
inline constexpr std::u16string_view kRootPanelTitle = u"Root";
inline constexpr std::u16string_view kInspectorLoadingText = u"Loading...";

// What the right side of the splitter shows.
enum class InspectorPane { kText, kImages, kLinks, kFormFields, kRoot };

// The values after "Name:", "Type:" and "URL:".
struct RootPanelTexts {
  std::u16string name;
  std::u16string type;
  std::u16string url;
};

class CInspectorModel {
 public:
  CInspectorModel(const IWebBrowser& browser, const ISourceColorizer& colorizer,
                  std::function<bool()> isMainWindowVisible)
      : m_browser(browser),
        m_colorizer(colorizer),
        m_isMainWindowVisible(std::move(isMainWindowVisible)) {}

  // The tree again from the browser's current document, with the root chosen; an
  // empty tree without an HTML document; nothing at all while the window is hidden.
  void RebuildInspectorTree();
  // A navigation began: one dimmed "Loading..." item, unless the tree holds one item.
  void ShowInspectorLoading();
  // The band is hidden: everything emptied and the outline undone.
  void ClearInspector();

  // The tree item at that position was chosen; an item without a node does nothing.
  void OnTreeItemChosen(std::size_t item);
  // A click on a row of the table shown (-1: outside the rows).
  void OnTableRowClicked(int row);
  // Up or Down in the table shown, before the list moves its selection (-1: none).
  void OnTableArrowKey(bool down, int lastSelectedRow);

  void HighlightElement(const DomElementRef& element) { m_highlight.HighlightElement(element); }
  void RestoreHighlight() { m_highlight.RestoreHighlight(); }

  const CInspectorTree& Tree() const { return m_tree; }
  std::optional<std::size_t> SelectedItem() const { return m_selectedItem; }
  InspectorPane Pane() const { return m_pane; }
  // The text box's content: RTF in the narrow code page.
  const std::string& RichText() const { return m_richText; }
  const ElementRows& ImageTable() const { return m_images; }
  const ElementRows& LinkTable() const { return m_links; }
  const ElementRows& FormFieldTable() const { return m_formFields; }
  const RootPanelTexts& RootPanel() const { return m_rootPanel; }
  const DomElementRef& HighlightedElement() const { return m_highlight.Element(); }
  // The table shown, or null while the text box or the root panel is shown.
  const ElementRows* ShownTable() const;

 private:
  void ClearContents();
  void SwitchPane(NodeKind kind);
  void FillPane(const InspectorNode& node);
  // A colourer's RTF document into the text box, in the narrow code page.
  void ShowRichText(std::u16string_view rtf);
  void HighlightRow(std::size_t row);

  const IWebBrowser& m_browser;
  const ISourceColorizer& m_colorizer;
  std::function<bool()> m_isMainWindowVisible;

  CInspectorTree m_tree;
  std::optional<std::size_t> m_selectedItem;
  InspectorPane m_pane = InspectorPane::kText;
  std::string m_richText;
  ElementRows m_images;
  ElementRows m_links;
  ElementRows m_formFields;
  RootPanelTexts m_rootPanel;
  CElementHighlight m_highlight;
};

}  // namespace tracewell
