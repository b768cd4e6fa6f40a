#include "root_panel_view.h"

#include "child_window_class.h"
#include "dialog_template.h"
#include "module.h"
#include "wide_text.h"

namespace tracewell::win {
namespace {

constexpr wchar_t kClassName[] = L"TracewellRootPanel";
constexpr DWORD kPanelStyle = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
// Page titles and URLs are shown as they are: no "&" taken as a mnemonic.
constexpr DWORD kTextStyle = WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX;

constexpr int kMargin = 8;
constexpr int kRowHeight = 20;
constexpr int kRowGap = 4;
constexpr int kLabelWidth = 44;
// Wide enough for a long URL on any screen; the panel clips what does not fit.
constexpr int kValueWidth = 4000;

HWND CreateText(HWND parent, const wchar_t* text, int id, int x, int y, int width) {
  const HWND control = CreateWindowExW(0, L"STATIC", text, kTextStyle, x, y, width, kRowHeight, parent,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                       CBandkitModule::Get().Instance(), nullptr);
  if (control != nullptr) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  }
  return control;
}

}  // namespace

bool CRootPanelView::Create(HWND parent) {
  if (!RegisterChildWindowClass(kClassName)) return false;
  const std::wstring title = Wide(kRootPanelTitle);
  m_panel = CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, title.c_str(), kPanelStyle, 0, 0, 0, 0, parent,
                            nullptr, CBandkitModule::Get().Instance(), nullptr);
  if (m_panel == nullptr) return false;
  m_name = AddRow(0, L"Name:", inspector_control::kRootName);
  m_type = AddRow(1, L"Type:", inspector_control::kRootType);
  m_url = AddRow(2, L"URL:", inspector_control::kRootUrl);
  return m_name != nullptr && m_type != nullptr && m_url != nullptr;
}

HWND CRootPanelView::AddRow(int row, const wchar_t* label, int valueId) {
  const int y = kMargin + row * (kRowHeight + kRowGap);
  if (CreateText(m_panel, label, kNoControlId, kMargin, y, kLabelWidth) == nullptr) return nullptr;
  return CreateText(m_panel, L"", valueId, kMargin + kLabelWidth + kMargin, y, kValueWidth);
}

void CRootPanelView::Show(const RootPanelTexts& texts) {
  SetWindowTextW(m_name, Wide(texts.name).c_str());
  SetWindowTextW(m_type, Wide(texts.type).c_str());
  SetWindowTextW(m_url, Wide(texts.url).c_str());
}

}  // namespace tracewell::win
