#include "inspector/inspector_model.h"

#include "text/code_page.h"

namespace tracewell {
namespace {

// The object a node holds, as the type its kind implies; null when it holds another.
template <typename Ref>
Ref HeldAs(const InspectorNode& node) {
  const Ref* held = std::get_if<Ref>(&node.object);
  return held ? *held : Ref{};
}

}  // namespace

void CInspectorModel::RebuildInspectorTree() {
  if (!m_isMainWindowVisible()) return;
  ClearContents();
  const DomDocumentRef document = m_browser.HtmlDocument();
  if (!document) return;
  const InspectorGroups groups = AddRootAndGroups(m_tree, document);
  WalkDocument(m_tree, groups, document, groups.documents);
  m_tree.Expand(groups.root);
  m_tree.Expand(groups.documents);
  OnTreeItemChosen(groups.root);
}

void CInspectorModel::ShowInspectorLoading() {
  if (m_tree.Items().size() == 1) return;
  ClearContents();
  m_tree.AddPlaceholder(std::u16string(kInspectorLoadingText));
}

void CInspectorModel::ClearInspector() {
  ClearContents();
  RestoreHighlight();
}

void CInspectorModel::ClearContents() {
  m_tree.Clear();
  m_selectedItem.reset();
  m_richText.clear();
  m_images.Clear();
  m_links.Clear();
  m_formFields.Clear();
}

void CInspectorModel::OnTreeItemChosen(std::size_t item) {
  if (item >= m_tree.Items().size()) return;
  m_selectedItem = item;
  const InspectorNode* node = m_tree.Node(m_tree.Items()[item].node);
  if (!node) return;
  SwitchPane(node->kind);
  FillPane(*node);
}

void CInspectorModel::SwitchPane(NodeKind kind) {
  switch (kind) {
    case NodeKind::NodeRoot:
      m_pane = InspectorPane::kRoot;
      return;
    case NodeKind::NodeLinks:
      m_pane = InspectorPane::kLinks;
      m_links.Clear();
      return;
    case NodeKind::NodeImages:
      m_pane = InspectorPane::kImages;
      m_images.Clear();
      return;
    case NodeKind::NodeFormGroup:
    case NodeKind::NodeForm:
      m_pane = InspectorPane::kFormFields;
      m_formFields.Clear();
      return;
    default:
      m_pane = InspectorPane::kText;
      m_richText.clear();
      m_images.Clear();
      m_links.Clear();
      m_formFields.Clear();
      return;
  }
}

void CInspectorModel::FillPane(const InspectorNode& node) {
  switch (node.kind) {
    case NodeKind::NodeRoot:
      m_rootPanel = {m_browser.LocationName(), m_browser.DocumentTypeText(),
                     m_browser.LocationUrl()};
      return;
    case NodeKind::NodeLinks:
      if (const auto document = HeldAs<DomDocumentRef>(node)) AppendLinkRows(*document, m_links);
      return;
    case NodeKind::NodeImages:
      if (const auto document = HeldAs<DomDocumentRef>(node)) AppendImageRows(*document, m_images);
      return;
    case NodeKind::NodeDocument:
      if (const auto document = HeldAs<DomDocumentRef>(node)) {
        const DomElementRef html = document->FirstElementByTagName(u"HTML");
        const auto source = html ? html->OuterHtml() : std::nullopt;
        if (source) ShowRichText(m_colorizer.ColorizeHtml(*source));
      }
      return;
    case NodeKind::NodeStyleSheet:
      if (const auto sheet = HeldAs<DomStyleSheetRef>(node)) {
        if (const auto css = sheet->CssText()) ShowRichText(m_colorizer.ColorizeCss(*css));
      }
      return;
    case NodeKind::NodeScript:
      if (const auto script = HeldAs<DomElementRef>(node)) {
        if (const auto source = script->OuterHtml()) {
          ShowRichText(m_colorizer.ColorizeScript(*source));
        }
      }
      return;
    case NodeKind::NodeForm:
      if (const auto form = HeldAs<DomElementRef>(node)) {
        AppendFormFieldRows(*form, m_formFields);
        HighlightElement(form);
      }
      return;
    default:
      return;  // the groups show nothing
  }
}

void CInspectorModel::ShowRichText(std::u16string_view rtf) { m_richText = ToCodePage(rtf); }

const ElementRows* CInspectorModel::ShownTable() const {
  switch (m_pane) {
    case InspectorPane::kImages:
      return &m_images;
    case InspectorPane::kLinks:
      return &m_links;
    case InspectorPane::kFormFields:
      return &m_formFields;
    default:
      return nullptr;
  }
}

void CInspectorModel::OnTableRowClicked(int row) {
  if (row >= 0) HighlightRow(static_cast<std::size_t>(row));
}

void CInspectorModel::OnTableArrowKey(bool down, int lastSelectedRow) {
  if (down) {
    HighlightRow(lastSelectedRow < 0 ? 0 : static_cast<std::size_t>(lastSelectedRow) + 1);
  } else if (lastSelectedRow > 0) {
    HighlightRow(static_cast<std::size_t>(lastSelectedRow) - 1);
  }
}

void CInspectorModel::HighlightRow(std::size_t row) {
  const ElementRows* table = ShownTable();
  if (table && row < table->elements.size()) HighlightElement(table->elements[row]);
}

}  // namespace tracewell
