#pragma once
// The inspector's three tables: images, links and form fields, each row with the
// element it stands for.

#include <array>
#include <string_view>

#include "inspector/dom_interfaces.h"
#include "views/detail_lists.h"
#include "views/text_rows.h"

namespace tracewell {

inline constexpr std::array<DetailColumn, 6> kImageColumns = {{
    {u"Name", 100},
    {u"Image URL", 500},
    {u"Width", 80},
    {u"Height", 80},
    {u"Size", 100},
    {u"MIME Type", 120},
}};
inline constexpr std::array<DetailColumn, 2> kLinkColumns = {{
    {u"Link Text", 200},
    {u"Link URL", 650},
}};
inline constexpr std::array<DetailColumn, 5> kFormFieldColumns = {{
    {u"ID", 100},
    {u"Name", 200},
    {u"Type", 100},
    {u"Value", 300},
    {u"Tag Name", 100},
}};

// A table's rows; row i stands for elements[i].
struct ElementRows {
  TextRows rows;
  std::vector<DomElementRef> elements;

  void Append(TextRow row, DomElementRef element);
  void Clear();
};

// The links of every frame's document (depth first), then the document's own anchors.
void AppendLinkRows(const IDomDocument& document, ElementRows& table);
// The document's images; frames are not visited.
void AppendImageRows(const IDomDocument& document, ElementRows& table);
// One row per INPUT element of the form, in order.
void AppendFormFieldRows(const IDomElement& form, ElementRows& table);

}  // namespace tracewell
