#include "inspector/inspector_rows.h"

#include "text/format.h"

namespace tracewell {
namespace {

void AppendLinkRowsAt(const IDomDocument& document, ElementRows& table, int& framesLeft) {
  for (const DomDocumentRef& frame : document.FrameDocuments()) {
    if (!frame || framesLeft == 0) continue;
    --framesLeft;
    AppendLinkRowsAt(*frame, table, framesLeft);
  }
  for (const DomElementRef& anchor : document.Links()) {
    if (!anchor) continue;
    auto link = anchor->LinkFields();
    if (!link) continue;
    table.Append({std::move(link->innerText), std::move(link->href)}, anchor);
  }
}

}  // namespace

void ElementRows::Append(TextRow row, DomElementRef element) {
  rows.push_back(std::move(row));
  elements.push_back(std::move(element));
}

void ElementRows::Clear() {
  rows.clear();
  elements.clear();
}

void AppendLinkRows(const IDomDocument& document, ElementRows& table) {
  int framesLeft = kMaxFrameDocuments;
  AppendLinkRowsAt(document, table, framesLeft);
}

void AppendImageRows(const IDomDocument& document, ElementRows& table) {
  for (const DomElementRef& element : document.Images()) {
    if (!element) continue;
    auto image = element->ImageFields();
    if (!image) continue;
    table.Append({image->name.empty() ? u"Untitled" : std::move(image->name), std::move(image->src),
                  FormatText("%ld", image->width), FormatText("%ld", image->height),
                  std::move(image->fileSize), std::move(image->mimeType)},
                 element);
  }
}

void AppendFormFieldRows(const IDomElement& form, ElementRows& table) {
  for (const DomElementRef& element : form.FormElements()) {
    if (!element) continue;
    auto input = element->InputFields();
    if (!input) continue;
    table.Append({std::move(input->id), std::move(input->name), std::move(input->type),
                  std::move(input->value), std::move(input->tagName)},
                 element);
  }
}

}  // namespace tracewell
