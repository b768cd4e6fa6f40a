#pragma once
// The items of MSHTML's collections (elements, a form's fields, style sheets, frames)
// by index, each asked for the interface the caller reads it through. An item whose
// call fails, that is no object, or that lacks the interface is left out: the page's
// other items still show.

#include <windows.h>

#include <mshtml.h>

#include <utility>
#include <vector>

#include "com_getters.h"
#include "com_ptr.h"

namespace tracewell::win {

// The object at `index`, or null.
ComPtr<IDispatch> ItemAt(IHTMLElementCollection& collection, LONG index);
ComPtr<IDispatch> ItemAt(IHTMLFormElement& form, LONG index);
ComPtr<IDispatch> ItemAt(IHTMLStyleSheetsCollection& collection, LONG index);
ComPtr<IDispatch> ItemAt(IHTMLFramesCollection2& collection, LONG index);

// Every item that offers `Interface`, in index order; none when the length cannot be
// read. Only items that exist are kept, so a length the collection overstates costs
// calls, not memory.
template <typename Interface, typename Collection>
std::vector<ComPtr<Interface>> ItemsOf(Collection& collection) {
  std::vector<ComPtr<Interface>> items;
  const LONG length = ReadValue(&collection, &Collection::get_length).value_or(0);
  for (LONG index = 0; index < length; ++index) {
    ComPtr<Interface> wanted = ItemAt(collection, index).template Query<Interface>();
    if (wanted) items.push_back(std::move(wanted));
  }
  return items;
}

}  // namespace tracewell::win
