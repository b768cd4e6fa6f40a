#pragma once
// A COM object's property getters called through a member pointer, as in
// `ReadBstr(document, &IHTMLDocument2::get_title)`: the answer, or nothing when the
// call fails. What the getter hands out is owned here (the text freed, the object
// held), so no caller forgets to.

#include <windows.h>

#include <optional>
#include <string>

#include "bstr_text.h"
#include "com_ptr.h"

namespace tracewell::win {

template <typename Holder, typename Declarer>
std::optional<std::u16string> ReadBstr(Holder* holder,
                                       HRESULT (STDMETHODCALLTYPE Declarer::*get)(BSTR*)) {
  BSTR text = nullptr;
  const HRESULT result = (holder->*get)(&text);
  return TakeBstr(result, text);
}

// Plain values: numbers, flags.
template <typename Holder, typename Declarer, typename Value>
std::optional<Value> ReadValue(Holder* holder, HRESULT (STDMETHODCALLTYPE Declarer::*get)(Value*)) {
  Value value{};
  if (FAILED((holder->*get)(&value))) return std::nullopt;
  return value;
}

// An interface the getter hands out with a reference: held, or null when the call
// fails or gives none.
template <typename Holder, typename Declarer, typename Object>
ComPtr<Object> ReadObject(Holder* holder, HRESULT (STDMETHODCALLTYPE Declarer::*get)(Object**)) {
  Object* object = nullptr;
  if (FAILED((holder->*get)(&object))) return {};
  return ComPtr<Object>::Adopt(object);
}

}  // namespace tracewell::win
