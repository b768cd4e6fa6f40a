#pragma once
// The inspector's part tree: items with labels, each carrying a 1-based index into
// the node table, and the walk that fills it from a document and its frames.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "inspector/dom_interfaces.h"

namespace tracewell {

enum class NodeKind : int {
  NodeRoot = 1,
  NodeDocumentGroup = 2,
  NodeLinks = 3,
  NodeStyleSheetGroup = 5,
  NodeImages = 6,
  NodeFormGroup = 7,
  NodeScriptGroup = 8,
  NodeDocument = 9,
  NodeStyleSheet = 13,
  NodeScript = 14,
  NodeForm = 15,
};

// What a node holds. The root's browser is the model's own and is not repeated here.
using DomObjectRef = std::variant<std::monostate, DomDocumentRef, DomElementRef, DomStyleSheetRef>;

struct InspectorNode {
  NodeKind kind;
  DomObjectRef object;
};

inline constexpr std::size_t kNoNode = 0;

struct InspectorTreeItem {
  std::u16string label;
  std::optional<std::size_t> parent;  // the parent item's position; none at the top
  std::size_t node = kNoNode;         // 1-based index into the node table
  bool dimmed = false;                // drawn in the cut state
  bool expanded = false;
};

// Items in creation order: a parent comes before its children, and the children of
// one parent keep the order they were added in.
class CInspectorTree {
 public:
  // Adds an item with a new node; returns the item's position.
  std::size_t AddItem(std::optional<std::size_t> parent, std::u16string label, NodeKind kind,
                      DomObjectRef object = {});
  // A dimmed top-level item without a node.
  void AddPlaceholder(std::u16string label);
  void Expand(std::size_t item) { m_items.at(item).expanded = true; }
  // Drops every item and node, releasing what the nodes held.
  void Clear();

  const std::vector<InspectorTreeItem>& Items() const { return m_items; }
  // The node of a 1-based index, or null outside the table.
  const InspectorNode* Node(std::size_t index) const;
  std::size_t NodeCount() const { return m_nodes.size(); }

 private:
  std::vector<InspectorTreeItem> m_items;
  std::vector<InspectorNode> m_nodes;
};

// Positions of the root item and the six group items.
struct InspectorGroups {
  std::size_t root;
  std::size_t documents;
  std::size_t scripts;
  std::size_t images;
  std::size_t styleSheets;
  std::size_t links;
  std::size_t forms;
};

// "Root" and its groups in the order Document, Scripts, Images, StyleSheets, Links,
// Forms; Links and Images hold the top document.
InspectorGroups AddRootAndGroups(CInspectorTree& tree, const DomDocumentRef& top);

// Adds the document's forms, scripts and style sheets under their groups, the
// document itself under `parentItem`, and then each reachable frame's document
// under the document's item.
void WalkDocument(CInspectorTree& tree, const InspectorGroups& groups,
                  const DomDocumentRef& document, std::size_t parentItem);

// A form's label: its markup up to the first ">" after the first character, or all
// of it when there is none.
std::u16string FormLabel(std::u16string_view outerHtml);

}  // namespace tracewell
