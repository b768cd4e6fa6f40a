#include "devtools/page_snapshot.h"

#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

#include "devtools/devtools_message.h"
#include "http_text/splitting.h"
#include "text/utf8.h"

namespace tracewell::devtools {

const std::string_view kPageSnapshotScript = R"js((() => {
  const key = Symbol.for('tracewell.inspector');
  const nodes = [];
  const generation = ((window[key] && window[key].generation) || 0) + 1;
  let documentsLeft = 1000;
  const keep = (e) => { nodes.push(e); return nodes.length - 1; };
  const text = (v) => (v === undefined || v === null) ? '' : String(v);
  const element = (e) => {
    const item = { i: keep(e), tag: e.tagName, html: e.outerHTML,
                   border: e.style ? e.style.border : '', style: e.style ? e.style.cssText : '' };
    if (e.tagName === 'SCRIPT') item.src = text(e.getAttribute('src'));
    if (e.tagName === 'IMG') {
      const entry = performance.getEntriesByName(e.currentSrc || e.src)[0];
      item.image = { name: text(e.getAttribute('name')), src: e.src, width: e.width,
                     height: e.height,
                     size: entry && entry.encodedBodySize ? String(entry.encodedBodySize) : '' };
    }
    if (e.tagName === 'A') item.link = { text: e.innerText, href: e.href };
    if (e.tagName === 'INPUT') item.input = { id: e.id, name: e.name, type: e.type, value: e.value };
    if (e.tagName === 'FORM') item.elements = Array.from(e.elements, element);
    return item;
  };
  const sheet = (s) => {
    let css = null;
    try { css = Array.from(s.cssRules, (r) => r.cssText).join('\n'); } catch (_) {}
    return { href: text(s.href), css };
  };
  const snapshot = (d) => {
    if (--documentsLeft < 0) return null;
    const frames = [];
    for (const f of d.querySelectorAll('iframe, frame')) {
      let inner = null;
      try { inner = f.contentDocument; } catch (_) {}
      frames.push(inner ? snapshot(inner) : null);
    }
    return { title: d.title, url: d.URL, type: d.contentType,
             root: d.documentElement ? element(d.documentElement) : null,
             forms: Array.from(d.forms, element), scripts: Array.from(d.scripts, element),
             sheets: Array.from(d.styleSheets, sheet),
             links: Array.from(d.querySelectorAll('a[href]'), element),
             images: Array.from(d.images, element), frames };
  };
  const page = snapshot(document);
  window[key] = { generation, nodes };
  return JSON.stringify({ generation, page });
})())js";

namespace {


// The most documents a snapshot may hold, as the page-side script keeps to: a page
// that sends more is refused rather than walked.
constexpr int kMaxSnapshotDocuments = kMaxFrameDocuments;

// The string member `name` as text, or nothing when it is missing or not a string.
std::optional<std::u16string> OptionalText(const Json& object, const char* name) {
  const std::string* text = StringMember(object, name);
  return text ? std::optional(FromUtf8(*text)) : std::nullopt;
}

std::u16string Text(const Json& object, const char* name) {
  return OptionalText(object, name).value_or(std::u16string());
}

long Number(const Json& object, const char* name) {
  const auto it = object.find(name);
  if (it == object.end() || !it->is_number()) return 0;
  return it->get<long>();
}

// The page-side address of the elements of one snapshot.
struct PageNodes {
  PageScriptRunner run;
  std::int64_t generation;

  // Runs `action` (a statement using `e`) on the element kept at `index`, only while
  // the page still holds this snapshot's elements.
  void Act(std::int64_t index, std::string_view action) const {
    if (!run) return;
    run("(() => { const k = window[Symbol.for('tracewell.inspector')]; if (!k || k.generation !== " +
        std::to_string(generation) + ") return; const e = k.nodes[" + std::to_string(index) +
        "]; if (e) { " + std::string(action) + " } })()");
  }
};

// A JavaScript string literal of `text`.
std::string ScriptString(std::u16string_view text) { return Json(ToUtf8(text)).dump(); }

class CSnapshotElement final : public IDomElement {
 public:
  CSnapshotElement(const Json& item, std::shared_ptr<const PageNodes> nodes)
      : m_nodes(std::move(nodes)),
        m_index(Number(item, "i")),
        m_tag(Text(item, "tag")),
        m_html(Text(item, "html")),
        m_style{Text(item, "border"), Text(item, "style")} {
    m_scriptSrc = OptionalText(item, "src");
    if (const auto image = item.find("image"); image != item.end() && image->is_object()) {
      m_image = DomImageFields{Text(*image, "name"), Text(*image, "src"), Number(*image, "width"),
                               Number(*image, "height"), Text(*image, "size"), u""};
    }
    if (const auto link = item.find("link"); link != item.end() && link->is_object()) {
      m_link = DomLinkFields{Text(*link, "text"), Text(*link, "href")};
    }
    if (const auto input = item.find("input"); input != item.end() && input->is_object()) {
      m_input = DomInputFields{Text(*input, "id"), Text(*input, "name"), Text(*input, "type"),
                               Text(*input, "value"), m_tag};
    }
  }

  void AddFormElement(DomElementRef element) { m_formElements.push_back(std::move(element)); }

  bool IsForm() const override { return m_tag == u"FORM"; }
  std::optional<std::u16string> OuterHtml() const override { return m_html; }
  std::optional<std::u16string> ScriptSrc() const override { return m_scriptSrc; }
  std::optional<DomImageFields> ImageFields() const override { return m_image; }
  std::optional<DomLinkFields> LinkFields() const override { return m_link; }
  std::optional<DomInputFields> InputFields() const override { return m_input; }
  std::vector<DomElementRef> FormElements() const override { return m_formElements; }

  void ScrollIntoView() override { m_nodes->Act(m_index, "e.scrollIntoView(true);"); }
  // The style as the snapshot found it: the outline saves it before changing it.
  std::optional<DomStyleTexts> StyleTexts() const override { return m_style; }
  void SetBorderStyle(std::u16string_view border) override {
    m_nodes->Act(m_index, "e.style.border = " + ScriptString(border) + ";");
  }
  void SetInlineStyle(std::u16string_view style) override {
    m_nodes->Act(m_index, "e.style.cssText = " + ScriptString(style) + ";");
  }

  const std::u16string& Tag() const { return m_tag; }

 private:
  std::shared_ptr<const PageNodes> m_nodes;
  std::int64_t m_index;
  std::u16string m_tag;
  std::u16string m_html;
  DomStyleTexts m_style;
  std::optional<std::u16string> m_scriptSrc;
  std::optional<DomImageFields> m_image;
  std::optional<DomLinkFields> m_link;
  std::optional<DomInputFields> m_input;
  std::vector<DomElementRef> m_formElements;
};

class CSnapshotStyleSheet final : public IDomStyleSheet {
 public:
  // A sheet of another origin keeps its rules from the page: no text.
  explicit CSnapshotStyleSheet(const Json& item)
      : m_href(Text(item, "href")), m_css(OptionalText(item, "css")) {}
  std::optional<std::u16string> Href() const override { return m_href; }
  std::optional<std::u16string> CssText() const override { return m_css; }

 private:
  std::u16string m_href;
  std::optional<std::u16string> m_css;
};

class CSnapshotDocument final : public IDomDocument {
 public:
  std::u16string Title() const override { return m_title; }
  std::u16string Url() const override { return m_url; }
  std::vector<DomElementRef> Forms() const override { return m_forms; }
  std::vector<DomElementRef> Scripts() const override { return m_scripts; }
  std::vector<DomStyleSheetRef> StyleSheets() const override { return m_sheets; }
  std::vector<DomElementRef> Links() const override { return m_links; }
  std::vector<DomElementRef> Images() const override { return m_images; }
  // The snapshot keeps the document element only: other tag names find nothing.
  DomElementRef FirstElementByTagName(std::u16string_view tagName) const override {
    if (!m_root) return nullptr;
    const auto& tag = static_cast<const CSnapshotElement&>(*m_root).Tag();
    return EqualsIgnoringCase(tag, tagName) ? m_root : nullptr;
  }
  std::vector<DomDocumentRef> FrameDocuments() const override { return m_frames; }

  std::u16string m_title;
  std::u16string m_url;
  std::u16string m_type;
  DomElementRef m_root;
  std::vector<DomElementRef> m_forms, m_scripts, m_links, m_images;
  std::vector<DomStyleSheetRef> m_sheets;
  std::vector<DomDocumentRef> m_frames;
};

class SnapshotReader {
 public:
  explicit SnapshotReader(std::shared_ptr<const PageNodes> nodes) : m_nodes(std::move(nodes)) {}

  // The document of `item`, or null for a frame the page could not reach.
  std::shared_ptr<CSnapshotDocument> Document(const Json& item) {
    if (!item.is_object()) return nullptr;
    if (++m_documents > kMaxSnapshotDocuments) throw std::length_error("too many documents");
    auto document = std::make_shared<CSnapshotDocument>();
    document->m_title = Text(item, "title");
    document->m_url = Text(item, "url");
    document->m_type = Text(item, "type");
    if (const auto root = item.find("root"); root != item.end() && root->is_object()) {
      document->m_root = Element(*root);
    }
    document->m_forms = Elements(item, "forms");
    document->m_scripts = Elements(item, "scripts");
    document->m_links = Elements(item, "links");
    document->m_images = Elements(item, "images");
    for (const Json& sheet : Array(item, "sheets")) {
      if (sheet.is_object()) document->m_sheets.push_back(std::make_shared<CSnapshotStyleSheet>(sheet));
    }
    for (const Json& frame : Array(item, "frames")) document->m_frames.push_back(Document(frame));
    return document;
  }

 private:
  static const Json& Array(const Json& object, const char* name) {
    static const Json kEmpty = Json::array();
    const auto it = object.find(name);
    return it != object.end() && it->is_array() ? *it : kEmpty;
  }

  DomElementRef Element(const Json& item) {
    auto element = std::make_shared<CSnapshotElement>(item, m_nodes);
    for (const Json& inner : Array(item, "elements")) {
      if (inner.is_object()) element->AddFormElement(Element(inner));
    }
    return element;
  }

  std::vector<DomElementRef> Elements(const Json& object, const char* name) {
    std::vector<DomElementRef> elements;
    for (const Json& item : Array(object, name)) {
      elements.push_back(item.is_object() ? Element(item) : nullptr);
    }
    return elements;
  }

  std::shared_ptr<const PageNodes> m_nodes;
  int m_documents = 0;
};

}  // namespace

std::variant<PageSnapshot, std::string> ReadPageSnapshot(std::string_view text,
                                                         PageScriptRunner run) {
  // The page's own scripts cannot reach the snapshot's script (it runs in a world of
  // its own), but the text is still checked as any input from outside.
  if (!WithinNestingLimit(text, kMaxMessageDepth)) return std::string("the page snapshot is nested too deeply");
  const Json parsed = Json::parse(text, nullptr, /*allow_exceptions=*/false);
  if (parsed.is_discarded() || !parsed.is_object()) return std::string("the page snapshot is not a JSON object");
  const auto generation = parsed.find("generation");
  const auto page = parsed.find("page");
  if (generation == parsed.end() || !generation->is_number_integer() || page == parsed.end() ||
      !page->is_object()) {
    return std::string("the page snapshot has no generation or no page");
  }
  auto nodes = std::make_shared<const PageNodes>(PageNodes{std::move(run), generation->get<std::int64_t>()});
  SnapshotReader reader(std::move(nodes));
  std::shared_ptr<CSnapshotDocument> document;
  try {
    document = reader.Document(*page);
  } catch (const std::length_error&) {
    return std::string("the page snapshot holds more than " +
                       std::to_string(kMaxSnapshotDocuments) + " documents");
  }
  PageSnapshot snapshot{nullptr, document->m_title, document->m_url, document->m_type};
  if (document->m_root) snapshot.document = std::move(document);
  return snapshot;
}

}  // namespace tracewell::devtools
