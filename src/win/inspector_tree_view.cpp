#include "inspector_tree_view.h"

#include <string>
#include <vector>

#include "inspector/inspector_model.h"
#include "module.h"
#include "wide_text.h"

namespace tracewell::win {
namespace {

constexpr DWORD kTreeStyle =
    WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TVS_HASLINES | TVS_LINESATROOT | TVS_HASBUTTONS | TVS_SHOWSELALWAYS;

}  // namespace

bool CInspectorTreeView::Create(HWND parent) {
  m_tree = CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"", kTreeStyle, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(inspector_control::kTree)),
                           CBandkitModule::Get().Instance(), nullptr);
  return m_tree != nullptr;
}

// Items come parents first, so each parent's handle is known when its children come.
// Deleting and selecting notify the parent as a user's choice would: those
// notifications are no choice.
void CInspectorTreeView::Show(const CInspectorTree& tree, std::optional<std::size_t> selected) {
  m_showing = true;
  SendMessageW(m_tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  std::vector<HTREEITEM> handles;
  handles.reserve(tree.Items().size());
  for (std::size_t at = 0; at < tree.Items().size(); ++at) {
    const InspectorTreeItem& item = tree.Items()[at];
    std::wstring label = Wide(item.label);
    TVINSERTSTRUCTW insert{};
    insert.hParent = item.parent ? handles.at(*item.parent) : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_STATE | TVIF_PARAM;
    insert.item.pszText = label.data();
    insert.item.stateMask = TVIS_CUT;
    insert.item.state = item.dimmed ? TVIS_CUT : 0;
    insert.item.lParam = static_cast<LPARAM>(at);
    handles.push_back(reinterpret_cast<HTREEITEM>(
        SendMessageW(m_tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert))));
  }
  for (std::size_t at = 0; at < handles.size(); ++at) {
    if (tree.Items()[at].expanded) {
      SendMessageW(m_tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(handles[at]));
    }
  }
  if (selected && *selected < handles.size()) {
    SendMessageW(m_tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(handles[*selected]));
  }
  m_showing = false;
}

std::optional<std::size_t> CInspectorTreeView::ChosenItem(const NMHDR& header) const {
  if (m_showing || header.hwndFrom != m_tree || header.code != static_cast<UINT>(TVN_SELCHANGEDW)) {
    return std::nullopt;
  }
  const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
  if (change.itemNew.hItem == nullptr) return std::nullopt;
  return static_cast<std::size_t>(change.itemNew.lParam);
}

}  // namespace tracewell::win
