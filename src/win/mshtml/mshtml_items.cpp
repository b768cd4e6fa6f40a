#include "mshtml/mshtml_items.h"

#include <oleauto.h>

namespace tracewell::win {
namespace {

VARIANT IndexVariant(LONG index) {
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_I4;
  value.lVal = index;
  return value;
}

// Element collections and forms take the position as the name; the second argument,
// the position among same-named items, is then not used.
template <typename Collection>
ComPtr<IDispatch> NamedItemAt(Collection& collection, LONG index) {
  IDispatch* item = nullptr;
  if (FAILED(collection.item(IndexVariant(index), IndexVariant(0), &item))) return {};
  return ComPtr<IDispatch>::Adopt(item);
}

// Style sheets and frames answer in a VARIANT, which is cleared here.
template <typename Collection>
ComPtr<IDispatch> VariantItemAt(Collection& collection, LONG index) {
  VARIANT at = IndexVariant(index);
  VARIANT result;
  VariantInit(&result);
  ComPtr<IDispatch> item;
  if (SUCCEEDED(collection.item(&at, &result)) && result.vt == VT_DISPATCH) {
    item = ComPtr<IDispatch>::Retain(result.pdispVal);
  }
  VariantClear(&result);
  return item;
}

}  // namespace

ComPtr<IDispatch> ItemAt(IHTMLElementCollection& collection, LONG index) {
  return NamedItemAt(collection, index);
}

ComPtr<IDispatch> ItemAt(IHTMLFormElement& form, LONG index) { return NamedItemAt(form, index); }

ComPtr<IDispatch> ItemAt(IHTMLStyleSheetsCollection& collection, LONG index) {
  return VariantItemAt(collection, index);
}

ComPtr<IDispatch> ItemAt(IHTMLFramesCollection2& collection, LONG index) {
  return VariantItemAt(collection, index);
}

}  // namespace tracewell::win
