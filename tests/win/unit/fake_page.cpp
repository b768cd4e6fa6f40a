#include "fake_page.h"

namespace tracewell::win::test {
namespace {

// An element with its tag name and markup, an inline style (border and whole text),
// and a logged scroll.
CFakeCom& Element(CFakeComObjects& objects, std::u16string name, std::u16string tagName,
                  std::u16string outerHtml, std::u16string inlineStyle = u"") {
  CFakeCom& element = objects.Add(name);
  std::u16string styleName = name;
  styleName.append(u" style");
  CFakeCom& style = objects.Add(std::move(styleName));
  style.SetProperty<&IHTMLStyle::put_border, &IHTMLStyle::get_border>(u"border", u"")
      .SetProperty<&IHTMLStyle::put_cssText, &IHTMLStyle::get_cssText>(u"cssText", std::move(inlineStyle));
  return element.SetText<&IHTMLElement::get_tagName>(std::move(tagName))
      .SetText<&IHTMLElement::get_outerHTML>(std::move(outerHtml))
      .SetText<&IHTMLElement::get_id>(u"")
      .SetText<&IHTMLElement::get_innerText>(u"")
      .SetObject<&IHTMLElement::get_style>(&style)
      .Record<&IHTMLElement::scrollIntoView>(u"scroll");
}

CFakeCom& Input(CFakeComObjects& objects, std::u16string id, std::u16string type, std::u16string value) {
  CFakeCom& input = Element(objects, id, u"INPUT", u"<input>");
  return input.SetText<&IHTMLElement::get_id>(id)
      .SetText<&IHTMLInputElement::get_name>(u"q")
      .SetText<&IHTMLInputElement::get_type>(std::move(type))
      .SetText<&IHTMLInputElement::get_value>(std::move(value));
}

CFakeCom& Script(CFakeComObjects& objects, std::u16string name, std::u16string src, std::u16string outerHtml) {
  return Element(objects, std::move(name), u"SCRIPT", std::move(outerHtml))
      .SetText<&IHTMLScriptElement::get_src>(std::move(src));
}

CFakeCom& Anchor(CFakeComObjects& objects, std::u16string name, std::u16string text, std::u16string href) {
  CFakeCom& anchor = Element(objects, std::move(name), u"A", u"<a></a>", u"color: blue");
  return anchor.SetText<&IHTMLElement::get_innerText>(std::move(text))
      .SetText<&IHTMLAnchorElement::get_href>(std::move(href));
}

CFakeCom& StyleSheet(CFakeComObjects& objects, std::u16string name, std::u16string href, std::u16string cssText) {
  return objects.Add(std::move(name))
      .SetText<&IHTMLStyleSheet::get_href>(std::move(href))
      .SetText<&IHTMLStyleSheet::get_cssText>(std::move(cssText));
}

template <typename Collection, auto Length, auto Item>
CFakeCom& Items(CFakeComObjects& objects, std::u16string name, std::vector<CFakeCom*> items) {
  CFakeCom& collection = objects.Add(std::move(name));
  collection.Offer<Collection>();
  collection.SetNumber<Length>(static_cast<LONG>(items.size()));
  return collection.SetItems<Item>(std::move(items));
}

}  // namespace

CFakeCom& ElementCollection(CFakeComObjects& objects, std::u16string name, std::vector<CFakeCom*> items) {
  return Items<IHTMLElementCollection, &IHTMLElementCollection::get_length, &IHTMLElementCollection::item>(
      objects, std::move(name), std::move(items));
}

FakePage::FakePage()
    : browser(objects.Add(u"browser")),
      document(objects.Add(u"document")),
      html(Element(objects, u"html", u"HTML", u"<html><body class=\"page\">Hello {you}</body></html>")),
      form(Element(objects, u"form", u"FORM", u"<form action=\"/go\"><input id=q1></form>")),
      textInput(Input(objects, u"q1", u"text", u"caf\u00E9")),
      hiddenInput(Input(objects, u"token", u"hidden", u"42")),
      select(Element(objects, u"select", u"SELECT", u"<select></select>")),
      inlineScript(Script(objects, u"inline script", u"", u"<script>var a = 1;</script>")),
      externalScript(Script(objects, u"external script", u"http://127.0.0.1/app.js",
                            u"<script src=\"http://127.0.0.1/app.js\"></script>")),
      styleBlock(StyleSheet(objects, u"style block", u"", u"p { color: red }")),
      linkedSheet(StyleSheet(objects, u"linked sheet", u"http://127.0.0.1/site.css", u"b { margin: 0 }")),
      image(Element(objects, u"image", u"IMG", u"<img src=a.png>")),
      anchor(Anchor(objects, u"anchor", u"one", u"http://127.0.0.1/one")),
      frameWindow(objects.Add(u"frame window")),
      frameDocument(objects.Add(u"frame document")),
      frameAnchor(Anchor(objects, u"frame anchor", u"inner", u"http://127.0.0.1/inner")),
      frameScript(Script(objects, u"frame script", u"http://127.0.0.1/frame.js", u"<script src=frame.js></script>")),
      forms(ElementCollection(objects, u"forms", {&form})),
      scripts(ElementCollection(objects, u"scripts", {&inlineScript, &externalScript})),
      images(ElementCollection(objects, u"images", {&image})),
      links(ElementCollection(objects, u"links", {&anchor})),
      styleSheets(Items<IHTMLStyleSheetsCollection, &IHTMLStyleSheetsCollection::get_length,
                        &IHTMLStyleSheetsCollection::item>(objects, u"style sheets", {&styleBlock, &linkedSheet})),
      frames(Items<IHTMLFramesCollection2, &IHTMLFramesCollection2::get_length, &IHTMLFramesCollection2::item>(
          objects, u"frames", {&frameWindow})) {
  form.SetNumber<&IHTMLFormElement::get_length>(3).SetItems<&IHTMLFormElement::item>(
      {&textInput, &select, &hiddenInput});
  image.SetText<&IHTMLImgElement::get_name>(u"")
      .SetText<&IHTMLImgElement::get_src>(u"http://127.0.0.1/a.png")
      .SetNumber<&IHTMLImgElement::get_width>(16)
      .SetNumber<&IHTMLImgElement::get_height>(8)
      .SetText<&IHTMLImgElement::get_fileSize>(u"1234")
      .SetText<&IHTMLImgElement::get_mimeType>(u"PNG Image");

  document.SetText<&IHTMLDocument2::get_title>(u"Test page")
      .SetText<&IHTMLDocument2::get_URL>(u"http://127.0.0.1/page.html")
      .SetObject<&IHTMLDocument2::get_forms>(&forms)
      .SetObject<&IHTMLDocument2::get_scripts>(&scripts)
      .SetObject<&IHTMLDocument2::get_images>(&images)
      .SetObject<&IHTMLDocument2::get_links>(&links)
      .SetObject<&IHTMLDocument2::get_styleSheets>(&styleSheets)
      .SetObject<&IHTMLDocument2::get_frames>(&frames)
      .SetLookup<&IHTMLDocument3::getElementsByTagName>(u"HTML", ElementCollection(objects, u"html tags", {&html}));

  // The frame's document gives only its address, its links and its scripts: its other
  // collections answer E_NOTIMPL and read as empty.
  frameWindow.SetObject<&IHTMLWindow2::get_document>(&frameDocument);
  frameDocument.SetText<&IHTMLDocument2::get_title>(u"")
      .SetText<&IHTMLDocument2::get_URL>(u"http://127.0.0.1/frame.html")
      .SetObject<&IHTMLDocument2::get_links>(&ElementCollection(objects, u"frame links", {&frameAnchor}))
      .SetObject<&IHTMLDocument2::get_scripts>(&ElementCollection(objects, u"frame scripts", {&frameScript}));

  browser.SetObject<&IWebBrowser2::get_Document, IWebBrowser2>(&document)
      .SetText<&IWebBrowser2::get_LocationName, IWebBrowser2>(u"Test page")
      .SetText<&IWebBrowser2::get_LocationURL, IWebBrowser2>(u"http://127.0.0.1/page.html")
      .SetText<&IWebBrowser2::get_Type, IWebBrowser2>(u"HTML Document");
}

}  // namespace tracewell::win::test
