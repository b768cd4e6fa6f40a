#pragma once
// A page as MSHTML hands it out, in fake COM objects: a document titled "Test page"
// with its source, a form of a text input, a hidden input and a selection list, an
// inline and an external script, a style block and a linked style sheet, an image
// without a name, a link, and a frame whose untitled document has a link and a script
// of its own; and the browser that shows it. Every element logs its scrolling as
// "<element> scroll(true)" and has an inline style whose changes go to the log as
// "<element> style border=..." and "<element> style cssText=...". Tests change single
// answers to make a call fail or an interface go missing.

#include <mshtml.h>
#include <exdisp.h>

#include <string>
#include <vector>

#include "fake_com.h"

namespace tracewell::win::test {

struct FakePage {
  FakePage();

  FakeCallLog log;
  CFakeComObjects objects{&log};

  CFakeCom& browser;
  CFakeCom& document;
  CFakeCom& html;
  CFakeCom& form;
  CFakeCom& textInput;
  CFakeCom& hiddenInput;
  CFakeCom& select;
  CFakeCom& inlineScript;
  CFakeCom& externalScript;
  CFakeCom& styleBlock;
  CFakeCom& linkedSheet;
  CFakeCom& image;
  CFakeCom& anchor;
  CFakeCom& frameWindow;
  CFakeCom& frameDocument;
  CFakeCom& frameAnchor;
  CFakeCom& frameScript;

  // The document's collections.
  CFakeCom& forms;
  CFakeCom& scripts;
  CFakeCom& images;
  CFakeCom& links;
  CFakeCom& styleSheets;
  CFakeCom& frames;
};

// An element collection of those items, its length their count.
CFakeCom& ElementCollection(CFakeComObjects& objects, std::u16string name, std::vector<CFakeCom*> items);

}  // namespace tracewell::win::test
