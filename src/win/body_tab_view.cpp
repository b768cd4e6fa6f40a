#include "body_tab_view.h"

#include <algorithm>

#include "cache/picture_placement.h"
#include "child_window_class.h"
#include "module.h"

namespace tracewell::win {
namespace {

constexpr wchar_t kViewClassName[] = L"TracewellBodyTab";
constexpr wchar_t kPaneClassName[] = L"TracewellBodyPane";
constexpr DWORD kContainerStyle = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD kSummaryStyle = WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL;
// Long lines scroll rather than wrap, as a hex dump's columns must stay put.
constexpr DWORD kTextStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY |
                             ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL;
// Pixels between the summary's last line and the body.
constexpr int kSummaryGap = 4;
// The request pane takes this share of the tab's height when the record sent a body.
constexpr int kRequestShareDivisor = 4;
constexpr wchar_t kFixedPitchFace[] = L"Courier New";

HMENU ControlId(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

HFONT GuiFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

// A fixed-pitch font as tall as the window's other text.
HFONT CreateFixedPitchFont() {
  LOGFONTW gui{};
  GetObjectW(GuiFont(), sizeof(gui), &gui);
  LOGFONTW fixed{};
  fixed.lfHeight = gui.lfHeight;
  fixed.lfWeight = FW_NORMAL;
  fixed.lfCharSet = DEFAULT_CHARSET;
  fixed.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  std::copy(std::begin(kFixedPitchFace), std::end(kFixedPitchFace), fixed.lfFaceName);
  return CreateFontIndirectW(&fixed);
}

// The height of `text`'s lines in `font`, wrapped at `width` pixels.
int TextHeight(HWND window, HFONT font, const std::wstring& text, int width) {
  const HDC dc = GetDC(window);
  if (dc == nullptr) return 0;
  const HGDIOBJ previous = SelectObject(dc, font);
  RECT rect{0, 0, std::max(width, 1), 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
            DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL);
  SelectObject(dc, previous);
  ReleaseDC(window, dc);
  return rect.bottom;
}

}  // namespace

std::wstring EditBoxText(std::u16string_view text) {
  std::wstring box;
  box.reserve(text.size() + text.size() / 32);
  char16_t previous = 0;
  for (const char16_t unit : text) {
    if (unit == u'\n' && previous != u'\r') box += L'\r';
    box += unit == 0 ? L'\uFFFD' : static_cast<wchar_t>(unit);
    previous = unit;
  }
  return box;
}

CBodyPaneView::~CBodyPaneView() {
  if (m_pane != nullptr && IsWindow(m_pane)) SetWindowLongPtrW(m_pane, GWLP_USERDATA, 0);
}

bool CBodyPaneView::Create(HWND parent, int id, HFONT summaryFont, HFONT textFont) {
  const HINSTANCE instance = CBandkitModule::Get().Instance();
  if (!RegisterChildWindowClass(kPaneClassName)) return false;
  m_pane = CreateWindowExW(WS_EX_CONTROLPARENT, kPaneClassName, L"", kContainerStyle, 0, 0, 0, 0, parent,
                           ControlId(id), instance, nullptr);
  if (m_pane == nullptr) return false;
  SetWindowLongPtrW(m_pane, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(m_pane, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ViewWindowProc<CBodyPaneView>));
  m_summaryFont = summaryFont;
  m_summary = CreateWindowExW(0, L"Static", L"", kSummaryStyle, 0, 0, 0, 0, m_pane, ControlId(body_control::kSummary),
                              instance, nullptr);
  m_text = CreateWindowExW(WS_EX_CLIENTEDGE, L"Edit", L"", kTextStyle, 0, 0, 0, 0, m_pane,
                           ControlId(body_control::kText), instance, nullptr);
  if (m_summary == nullptr || m_text == nullptr) return false;
  SendMessageW(m_summary, WM_SETFONT, reinterpret_cast<WPARAM>(summaryFont), FALSE);
  SendMessageW(m_text, WM_SETFONT, reinterpret_cast<WPARAM>(textFont), FALSE);
  // The box would stop at 32K characters; the core already bounds what it shows.
  SendMessageW(m_text, EM_SETLIMITTEXT, 0, 0);
  return true;
}

void CBodyPaneView::ShowView(const BodyView& view) {
  std::u16string_view summary = view.summary;
  while (summary.ends_with(u'\n')) summary.remove_suffix(1);
  SetWindowTextW(m_summary, EditBoxText(summary).c_str());
  m_picture = view.kind == BodyKind::kImage ? LoadOlePicture(view.image) : nullptr;
  SetWindowTextW(m_text, m_picture ? L"" : EditBoxText(view.text).c_str());
  ShowWindow(m_text, m_picture ? SW_HIDE : SW_SHOWNA);
  Layout();
  InvalidateRect(m_pane, nullptr, TRUE);
}

void CBodyPaneView::Layout() {
  RECT client{};
  GetClientRect(m_pane, &client);
  const int length = GetWindowTextLengthW(m_summary);
  std::wstring summary(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(m_summary, summary.data(), length + 1);
  summary.resize(static_cast<std::size_t>(length));
  const int summaryHeight = TextHeight(m_summary, m_summaryFont, summary, client.right);
  MoveWindow(m_summary, 0, 0, client.right, summaryHeight, TRUE);
  const int top = std::min<int>(summaryHeight + kSummaryGap, client.bottom);
  MoveWindow(m_text, 0, top, client.right, client.bottom - top, TRUE);
}

// Under the summary: where the text box stands.
RECT CBodyPaneView::BodyArea() const {
  RECT area{};
  GetClientRect(m_pane, &area);
  RECT box{};
  GetWindowRect(m_text, &box);
  MapWindowPoints(nullptr, m_pane, reinterpret_cast<POINT*>(&box), 2);
  area.top = std::min(box.top, area.bottom);
  return area;
}

void CBodyPaneView::PaintPicture(HDC dc) const {
  if (!m_picture) return;
  const RECT area = BodyArea();
  FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
  const PixelSize size = HiMetricToPixels(m_picture->NaturalSize(),
                                          {GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY)});
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
  m_picture->Draw(dc, {area.left, area.top, area.left + size.width, area.top + size.height});
  RestoreDC(dc, saved);
}

LRESULT CBodyPaneView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND pane = m_pane;
  switch (message) {
    case WM_SIZE:
      Layout();
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      const HDC dc = BeginPaint(pane, &paint);
      PaintPicture(dc);
      EndPaint(pane, &paint);
      return 0;
    }
    case WM_PRINTCLIENT:
      PaintPicture(reinterpret_cast<HDC>(wParam));
      return 0;
    // The read-only box on the window's colour, as text to read rather than a
    // disabled field.
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lParam) != m_text) break;
      SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    case WM_NCDESTROY:
      SetWindowLongPtrW(pane, GWLP_USERDATA, 0);
      m_pane = m_summary = m_text = nullptr;
      break;
    default:
      break;
  }
  return DefWindowProcW(pane, message, wParam, lParam);
}

// The view goes before its font: the boxes never draw with a deleted one.
CBodyTabView::~CBodyTabView() {
  if (m_view != nullptr && IsWindow(m_view)) DestroyWindow(m_view);
  if (m_textFont != nullptr) DeleteObject(m_textFont);
}

bool CBodyTabView::Create(HWND parent) {
  if (!RegisterChildWindowClass(kViewClassName)) return false;
  m_textFont = CreateFixedPitchFont();
  if (m_textFont == nullptr) return false;
  m_view = CreateWindowExW(WS_EX_CONTROLPARENT, kViewClassName, L"", kContainerStyle, 0, 0, 0, 0, parent, nullptr,
                           CBandkitModule::Get().Instance(), nullptr);
  if (m_view == nullptr) return false;
  SetWindowLongPtrW(m_view, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(m_view, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ViewWindowProc<CBodyTabView>));
  if (!m_request.Create(m_view, body_control::kRequestPane, GuiFont(), m_textFont) ||
      !m_response.Create(m_view, body_control::kResponsePane, GuiFont(), m_textFont)) {
    return false;
  }
  Refresh();
  return true;
}

void CBodyTabView::ShowBodies(const std::optional<RecordBodies>& bodies) {
  if (&bodies != &m_bodies) m_bodies = bodies;
  m_stale = true;
  if (IsChosen()) Refresh();
}

void CBodyTabView::OnShown() {
  if (m_stale) Refresh();
}

// Chosen is shown in the detail pane, whether or not the browser's bar is open.
bool CBodyTabView::IsChosen() const {
  return m_view != nullptr && (GetWindowLongPtrW(m_view, GWL_STYLE) & WS_VISIBLE) != 0;
}

void CBodyTabView::Refresh() {
  m_stale = false;
  if (!m_bodies) {
    m_requestShown = false;
    m_request.ShowView({});
    m_response.ShowView({});
  } else {
    const BodyView request = RequestBodyView(*m_bodies);
    m_requestShown = request.kind != BodyKind::kNone;
    m_request.ShowView(request);
    m_response.ShowView(ResponseBodyView(*m_bodies, m_files));
  }
  Layout();
}

void CBodyTabView::Layout() {
  if (m_view == nullptr) return;
  RECT client{};
  GetClientRect(m_view, &client);
  const int requestHeight = m_requestShown ? client.bottom / kRequestShareDivisor : 0;
  MoveWindow(m_request.Handle(), 0, 0, client.right, requestHeight, TRUE);
  ShowWindow(m_request.Handle(), m_requestShown ? SW_SHOWNA : SW_HIDE);
  MoveWindow(m_response.Handle(), 0, requestHeight, client.right, client.bottom - requestHeight, TRUE);
  ShowWindow(m_response.Handle(), SW_SHOWNA);
}

LRESULT CBodyTabView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND view = m_view;
  if (message == WM_SIZE) {
    Layout();
    return 0;
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(view, GWLP_USERDATA, 0);
    m_view = nullptr;
  }
  return DefWindowProcW(view, message, wParam, lParam);
}

}  // namespace tracewell::win
