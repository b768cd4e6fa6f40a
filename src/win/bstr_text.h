#pragma once
// Text across COM: the BSTR a getter hands back becomes the core's UTF-16 text and is
// freed at once; the core's text becomes a BSTR that lives as long as its holder.

#include <windows.h>

#include <oleauto.h>

#include <optional>
#include <string>
#include <string_view>

namespace tracewell::win {

// Takes over `text` (freed here): its characters when `result` succeeded, nothing when
// it failed. A null BSTR is COM's empty string.
std::optional<std::u16string> TakeBstr(HRESULT result, BSTR text);

// A BSTR holding a copy of the core's text, freed when the holder goes; empty-handed
// (false) when there was no memory for it.
class CBstr {
 public:
  explicit CBstr(std::u16string_view text);
  CBstr(const CBstr&) = delete;
  CBstr& operator=(const CBstr&) = delete;
  ~CBstr();

  BSTR Get() const { return m_text; }
  explicit operator bool() const { return m_text != nullptr; }

 private:
  BSTR m_text;
};

}  // namespace tracewell::win
