#include "dialog_template.h"

namespace tracewell::win {
namespace {

constexpr DWORD kDialogStyle = DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr WORD kFontSize = 8;

}  // namespace

CDialogTemplate::CDialogTemplate(std::wstring_view title, short width, short height) {
  static_assert(sizeof(DLGTEMPLATE) % sizeof(WORD) == 0 && sizeof(DLGITEMTEMPLATE) % sizeof(WORD) == 0);
  m_words.resize(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
  DLGTEMPLATE& header = Header();
  header.style = kDialogStyle;
  header.cx = width;
  header.cy = height;
  m_words.push_back(0);  // no menu
  m_words.push_back(0);  // the standard dialog class
  AddString(title);
  m_words.push_back(kFontSize);
  AddString(L"MS Shell Dlg");
}

void CDialogTemplate::AddItem(std::wstring_view className, std::wstring_view text, WORD id, DWORD style,
                              short x, short y, short cx, short cy) {
  AlignToDword();
  DLGITEMTEMPLATE item{};
  item.style = style | WS_CHILD | WS_VISIBLE;
  item.x = x;
  item.y = y;
  item.cx = cx;
  item.cy = cy;
  item.id = id;
  const auto* words = reinterpret_cast<const WORD*>(&item);
  m_words.insert(m_words.end(), words, words + sizeof(item) / sizeof(WORD));
  AddString(className);
  AddString(text);
  m_words.push_back(0);  // no creation data
  ++Header().cdit;
}

void CDialogTemplate::AddString(std::wstring_view text) {
  m_words.insert(m_words.end(), text.begin(), text.end());
  m_words.push_back(0);
}

void CDialogTemplate::AlignToDword() {
  if (m_words.size() % 2 != 0) m_words.push_back(0);
}

}  // namespace tracewell::win
