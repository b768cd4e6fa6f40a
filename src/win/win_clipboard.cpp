#include "win_clipboard.h"

#include <cstring>
#include <string>

#include "text/code_page.h"

namespace tracewell::win {
namespace {

// Puts `text` and a terminating zero into a shareable block; null when refused.
HGLOBAL SharedTextBlock(const std::string& text) {
  const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  if (block == nullptr) return nullptr;
  void* bytes = GlobalLock(block);
  if (bytes == nullptr) {
    GlobalFree(block);
    return nullptr;
  }
  std::memcpy(bytes, text.c_str(), text.size() + 1);
  GlobalUnlock(block);
  return block;
}

}  // namespace

std::string ToThreadCodePage(std::string_view narrow) {
  const std::u16string text = FromCodePage(narrow);
  const std::wstring wide(text.begin(), text.end());
  const int length = static_cast<int>(wide.size());
  if (length == 0) return {};
  const int size = WideCharToMultiByte(CP_THREAD_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_THREAD_ACP, 0, wide.data(), length, out.data(), size, nullptr, nullptr);
  return out;
}

void CWinClipboard::SetText(std::string_view narrow) {
  const std::string text = ToThreadCodePage(narrow);
  if (text.empty() || !OpenClipboard(m_owner)) return;
  const HGLOBAL block = SharedTextBlock(text);
  if (block != nullptr) {
    EmptyClipboard();
    if (SetClipboardData(CF_TEXT, block) == nullptr) GlobalFree(block);
  }
  CloseClipboard();
}

}  // namespace tracewell::win
