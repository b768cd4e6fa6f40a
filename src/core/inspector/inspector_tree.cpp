#include "inspector/inspector_tree.h"

namespace tracewell {
namespace {

void AddForms(CInspectorTree& tree, std::size_t group, const IDomDocument& document) {
  for (const DomElementRef& form : document.Forms()) {
    if (!form || !form->IsForm()) continue;
    const auto html = form->OuterHtml();
    if (!html || html->empty()) continue;
    tree.AddItem(group, FormLabel(*html), NodeKind::NodeForm, form);
  }
}

void AddScripts(CInspectorTree& tree, std::size_t group, const IDomDocument& document) {
  for (const DomElementRef& script : document.Scripts()) {
    if (!script) continue;
    const auto src = script->ScriptSrc();
    if (!src) continue;
    tree.AddItem(group, src->empty() ? u"<SCRIPT>" : *src, NodeKind::NodeScript, script);
  }
}

void AddStyleSheets(CInspectorTree& tree, std::size_t group, const IDomDocument& document) {
  for (const DomStyleSheetRef& sheet : document.StyleSheets()) {
    if (!sheet) continue;
    const auto href = sheet->Href();
    if (!href) continue;
    tree.AddItem(group, href->empty() ? u"<style>" : *href, NodeKind::NodeStyleSheet, sheet);
  }
}

void Walk(CInspectorTree& tree, const InspectorGroups& groups, const DomDocumentRef& document,
          std::size_t parentItem, int& framesLeft) {
  AddForms(tree, groups.forms, *document);
  AddScripts(tree, groups.scripts, *document);
  AddStyleSheets(tree, groups.styleSheets, *document);
  std::u16string label = document->Title();
  if (label.empty()) label = document->Url();
  const std::size_t item =
      tree.AddItem(parentItem, std::move(label), NodeKind::NodeDocument, document);
  for (const DomDocumentRef& frame : document->FrameDocuments()) {
    if (!frame || framesLeft == 0) continue;
    --framesLeft;
    Walk(tree, groups, frame, item, framesLeft);
  }
}

}  // namespace

std::size_t CInspectorTree::AddItem(std::optional<std::size_t> parent, std::u16string label,
                                    NodeKind kind, DomObjectRef object) {
  m_nodes.push_back({kind, std::move(object)});
  m_items.push_back({std::move(label), parent, m_nodes.size()});
  return m_items.size() - 1;
}

void CInspectorTree::AddPlaceholder(std::u16string label) {
  m_items.push_back({std::move(label), std::nullopt, kNoNode, true});
}

void CInspectorTree::Clear() {
  m_items.clear();
  m_nodes.clear();
}

const InspectorNode* CInspectorTree::Node(std::size_t index) const {
  if (index == kNoNode || index > m_nodes.size()) return nullptr;
  return &m_nodes[index - 1];
}

InspectorGroups AddRootAndGroups(CInspectorTree& tree, const DomDocumentRef& top) {
  InspectorGroups groups{};
  groups.root = tree.AddItem(std::nullopt, u"Root", NodeKind::NodeRoot);
  groups.documents = tree.AddItem(groups.root, u"Document", NodeKind::NodeDocumentGroup);
  groups.scripts = tree.AddItem(groups.root, u"Scripts", NodeKind::NodeScriptGroup);
  groups.images = tree.AddItem(groups.root, u"Images", NodeKind::NodeImages, top);
  groups.styleSheets = tree.AddItem(groups.root, u"StyleSheets", NodeKind::NodeStyleSheetGroup);
  groups.links = tree.AddItem(groups.root, u"Links", NodeKind::NodeLinks, top);
  groups.forms = tree.AddItem(groups.root, u"Forms", NodeKind::NodeFormGroup);
  return groups;
}

void WalkDocument(CInspectorTree& tree, const InspectorGroups& groups,
                  const DomDocumentRef& document, std::size_t parentItem) {
  int framesLeft = kMaxFrameDocuments;
  if (document) Walk(tree, groups, document, parentItem, framesLeft);
}

std::u16string FormLabel(std::u16string_view outerHtml) {
  const std::size_t close = outerHtml.find(u'>', 1);
  return std::u16string(close == std::u16string_view::npos ? outerHtml
                                                           : outerHtml.substr(0, close + 1));
}

}  // namespace tracewell
