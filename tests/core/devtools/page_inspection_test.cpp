#include <gtest/gtest.h>

#include "devtools/page_inspection.h"
#include "inspector/inspector_colorizer.h"
#include "inspector/inspector_model.h"
#include "inspector/page_load_state.h"
#include "support/fake_devtools_transport.h"
#include "text/utf8.h"

namespace tracewell::devtools {
namespace {

using testing::EventText;
using testing::FakeDevToolsTransport;
using testing::ReplyTo;

// A snapshot as the page-side script gives it for a page with a style sheet of its
// own and one of another origin, a form, an inline script, a link, an image, a
// same-origin frame and a frame of another origin.
constexpr std::string_view kSnapshot = R"({"generation":3,"page":{
 "title":"Probe page","url":"http://127.0.0.1:8765/index.html","type":"text/html",
 "root":{"i":2,"tag":"HTML","html":"<html><head><title>Probe page</title></head><body></body></html>","border":"","style":""},
 "forms":[{"i":3,"tag":"FORM","html":"<form action=\"/post\" method=\"post\"><input id=\"q\"></form>","border":"","style":"color: blue;",
   "elements":[{"i":4,"tag":"INPUT","html":"<input id=\"q\">","border":"","style":"",
                "input":{"id":"q","name":"q","type":"text","value":"hello"}},
               {"i":5,"tag":"SELECT","html":"<select name=\"s\"></select>","border":"","style":""}]}],
 "scripts":[{"i":6,"tag":"SCRIPT","html":"<script>fetch(\"/api.json\")</script>","border":"","style":"","src":""}],
 "sheets":[{"href":"http://127.0.0.1:8765/s.css","css":"body { color: red; }"},{"href":"","css":"p { margin: 0px; }"},
           {"href":"http://127.0.0.2/other.css","css":null}],
 "links":[{"i":7,"tag":"A","html":"<a href=\"/next.html\">Next <b>page</b></a>","border":"","style":"",
           "link":{"text":"Next page","href":"http://127.0.0.1:8765/next.html"},"unknown":[1,2]}],
 "images":[{"i":8,"tag":"IMG","html":"<img name=\"logo\" src=\"i.png\">","border":"","style":"",
            "image":{"name":"logo","src":"http://127.0.0.1:8765/i.png","width":10,"height":12,"size":"4"}}],
 "frames":[{"title":"Frame","url":"http://127.0.0.1:8765/frame.html","type":"text/html",
            "root":{"i":0,"tag":"HTML","html":"<html></html>","border":"","style":""},
            "forms":[],"scripts":[],"sheets":[],"links":[],"images":[],"frames":[]},
           null]}})";

std::vector<std::string> Labels(const CInspectorTree& tree) {
  std::vector<std::string> labels;
  for (const auto& item : tree.Items()) labels.push_back(ToUtf8(item.label));
  return labels;
}

TEST(PageSnapshot, AnswersTheInspectorsQuestionsAboutThePage) {
  std::vector<std::string> scripts;
  auto read = ReadPageSnapshot(kSnapshot, [&](std::string script) { scripts.push_back(std::move(script)); });
  ASSERT_TRUE(std::holds_alternative<PageSnapshot>(read)) << std::get<std::string>(read);
  const PageSnapshot& page = std::get<PageSnapshot>(read);
  EXPECT_EQ(page.title, u"Probe page");
  EXPECT_EQ(page.documentType, u"text/html");
  const IDomDocument& document = *page.document;
  ASSERT_NE(document.FirstElementByTagName(u"html"), nullptr);
  EXPECT_EQ(document.FirstElementByTagName(u"BODY"), nullptr);  // only the document element is kept

  const auto forms = document.Forms();
  ASSERT_EQ(forms.size(), 1u);
  EXPECT_TRUE(forms[0]->IsForm());
  const auto fields = forms[0]->FormElements();
  ASSERT_EQ(fields.size(), 2u);
  EXPECT_EQ(fields[0]->InputFields()->tagName, u"INPUT");
  EXPECT_EQ(fields[0]->InputFields()->value, u"hello");
  EXPECT_FALSE(fields[1]->InputFields());  // a select is no input
  EXPECT_EQ(document.Scripts()[0]->ScriptSrc(), u"");
  EXPECT_FALSE(document.Links()[0]->ScriptSrc());
  EXPECT_EQ(document.Links()[0]->LinkFields()->innerText, u"Next page");
  const auto image = document.Images()[0]->ImageFields();
  EXPECT_EQ(image->width, 10);
  EXPECT_EQ(image->fileSize, u"4");
  const auto sheets = document.StyleSheets();
  ASSERT_EQ(sheets.size(), 3u);
  EXPECT_EQ(sheets[1]->Href(), u"");
  EXPECT_EQ(sheets[0]->CssText(), u"body { color: red; }");
  EXPECT_FALSE(sheets[2]->CssText());  // another origin's rules stay with the page
  const auto frames = document.FrameDocuments();
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0]->Title(), u"Frame");
  EXPECT_EQ(frames[1], nullptr);

  // The outline reaches the live element of this snapshot only, by its place in the list.
  forms[0]->SetBorderStyle(u"2px solid \"red\"");
  ASSERT_EQ(scripts.size(), 1u);
  EXPECT_NE(scripts[0].find("k.generation !== 3"), std::string::npos) << scripts[0];
  EXPECT_NE(scripts[0].find("k.nodes[3]"), std::string::npos) << scripts[0];
  EXPECT_NE(scripts[0].find(R"(e.style.border = "2px solid \"red\"";)"), std::string::npos)
      << scripts[0];
}

TEST(PageSnapshot, RefusesWhatIsNotASnapshot) {
  const auto error = [](std::string_view text) {
    auto read = ReadPageSnapshot(text, {});
    return std::holds_alternative<std::string>(read) ? std::get<std::string>(read) : "";
  };
  EXPECT_EQ(error("[1]"), "the page snapshot is not a JSON object");
  EXPECT_EQ(error(R"({"page":{}})"), "the page snapshot has no generation or no page");
  EXPECT_EQ(error(std::string(5000, '[')), "the page snapshot is nested too deeply");
  std::string manyFrames = R"({"generation":1,"page":{"frames":[)";
  for (int i = 0; i < 1001; ++i) manyFrames += std::string(i ? "," : "") + "{}";
  manyFrames += "]}}";
  EXPECT_EQ(error(manyFrames), "the page snapshot holds more than 1000 documents");
  // Fields of the wrong kind are empty, not faults.
  auto odd = ReadPageSnapshot(R"({"generation":1,"page":{"title":7,"root":{"tag":"HTML","i":"x"},"forms":[3]}})", {});
  ASSERT_TRUE(std::holds_alternative<PageSnapshot>(odd));
  EXPECT_EQ(std::get<PageSnapshot>(odd).title, u"");
  EXPECT_EQ(std::get<PageSnapshot>(odd).document->Forms(), std::vector<DomElementRef>{nullptr});
}

TEST(PageLoadState, LoadingOnEachNavigationAndOneRebuildForTheTopDocument) {
  std::vector<std::string> actions;
  CPageLoadState state({[&] { actions.push_back("loading"); }, [&] { actions.push_back("rebuild"); }});
  state.OnBeforeNavigate();
  state.OnDownloadBegin();  // a navigation is pending: not busy
  EXPECT_FALSE(state.Busy());
  state.OnNavigateComplete(1);  // the top document
  state.OnBeforeNavigate();     // a frame
  state.OnNavigateComplete(2);
  state.OnDocumentComplete(2);  // the frame first: no rebuild
  EXPECT_EQ(actions, (std::vector<std::string>{"loading", "loading"}));
  state.OnDocumentComplete(1);
  EXPECT_EQ(actions.back(), "rebuild");
  EXPECT_EQ(state.NavigationsPending(), 0);
  state.OnDownloadComplete();
  state.OnBeforeNavigate();
  state.OnDocumentComplete(1);  // forgotten after its rebuild
  EXPECT_EQ(actions.size(), 4u);
  EXPECT_EQ(actions.back(), "loading");

  // A download without a navigation makes the browser busy until both counters are 0.
  state.OnDownloadBegin();
  EXPECT_TRUE(state.Busy());
  state.OnDownloadComplete();
  EXPECT_FALSE(state.Busy());
}

class PageInspectionTest : public ::testing::Test {
 protected:
  PageInspectionTest()
      : client(transport),
        inspection(client, browser, {[this] { log.push_back("loading"); },
                            [this] { log.push_back("rebuild"); },
                            [this](std::string_view reason) { log.push_back("fault: " + std::string(reason)); }}) {
    inspection.SetPageSession("S1");
    client.SetEventHandler([this](const DevToolsMessage& event) { inspection.OnEvent(event); });
  }
  void Event(std::string_view method, const Json& params, std::string_view session = "S1") {
    client.OnMessage(EventText(method, params, session));
  }
  void NavigateTopFrame() {
    Event("Page.frameStartedNavigating", {{"frameId", "F"}, {"url", "http://127.0.0.1/"}});
    Event("Page.frameStartedLoading", {{"frameId", "F"}});
    Event("Page.frameNavigated", {{"frame", {{"id", "F"}, {"loaderId", "L"}, {"url", "http://127.0.0.1/"}}}});
    Event("Page.frameNavigated", {{"frame", {{"id", "C"}, {"parentId", "F"}}}});
    Event("Page.frameStoppedLoading", {{"frameId", "C"}});
    Event("Page.frameStoppedLoading", {{"frameId", "F"}});
  }
  // Answers the world and the snapshot script as the browser does.
  void AnswerSnapshot(std::string_view snapshot) {
    const auto* world = transport.LastCommand("Page.createIsolatedWorld");
    ASSERT_NE(world, nullptr);
    client.OnMessage(ReplyTo(*world, {{"executionContextId", 41}}));
    const auto* evaluate = transport.LastCommand("Runtime.evaluate");
    ASSERT_NE(evaluate, nullptr);
    EXPECT_EQ((*evaluate)["params"]["contextId"], 41);
    client.OnMessage(ReplyTo(*evaluate, {{"result", {{"type", "string"}, {"value", snapshot}}}}));
  }

  FakeDevToolsTransport transport;
  CDevToolsClient client;
  CSnapshotBrowser browser;
  std::vector<std::string> log;
  CPageInspection inspection;
};

TEST_F(PageInspectionTest, TheTopDocumentsLoadTakesASnapshotInAWorldOfItsOwnAndRebuilds) {
  NavigateTopFrame();
  const auto* world = transport.LastCommand("Page.createIsolatedWorld");
  ASSERT_NE(world, nullptr);
  EXPECT_EQ((*world)["params"]["frameId"], "F");
  EXPECT_EQ((*world)["sessionId"], "S1");
  AnswerSnapshot(kSnapshot);
  EXPECT_EQ(log, (std::vector<std::string>{"loading", "rebuild"}));
  ASSERT_NE(browser.HtmlDocument(), nullptr);
  EXPECT_EQ(browser.LocationUrl(), u"http://127.0.0.1:8765/index.html");

  // The inspector's tree and outline over the snapshot.
  const CSourceColorizer colorizer;
  CInspectorModel model(browser, colorizer, [] { return true; });
  model.RebuildInspectorTree();
  const auto labels = Labels(model.Tree());
  EXPECT_NE(std::find(labels.begin(), labels.end(), "<SCRIPT>"), labels.end());
  EXPECT_NE(std::find(labels.begin(), labels.end(), "http://127.0.0.1:8765/s.css"), labels.end());
  EXPECT_NE(std::find(labels.begin(), labels.end(), "Frame"), labels.end());
  transport.sent.clear();
  model.HighlightElement(browser.HtmlDocument()->Forms()[0]);
  ASSERT_EQ(transport.Methods(), (std::vector<std::string>{"Runtime.evaluate", "Runtime.evaluate"}));
  EXPECT_EQ(transport.sent[1]["params"]["contextId"], 41);
  EXPECT_NE(transport.sent[0]["params"]["expression"].get<std::string>().find("scrollIntoView"), std::string::npos);
}

TEST_F(PageInspectionTest, OtherSessionsAndNetworkEventsAreNotItsOwn) {
  EXPECT_FALSE(inspection.OnEvent({std::nullopt, "Page.frameStartedNavigating", "S2", {{"frameId", "F"}}, {}, {}}));
  EXPECT_FALSE(inspection.OnEvent({std::nullopt, "Network.requestWillBeSent", "S1", {}, {}, {}}));
  EXPECT_TRUE(inspection.OnEvent({std::nullopt, "Page.frameStartedNavigating", "S1", {{"frameId", "F"}}, {}, {}}));
}

TEST_F(PageInspectionTest, ASnapshotOverTakenByANewNavigationIsDropped) {
  NavigateTopFrame();
  const Json oldWorld = *transport.LastCommand("Page.createIsolatedWorld");
  NavigateTopFrame();
  client.OnMessage(ReplyTo(oldWorld, {{"executionContextId", 40}}));  // the first, late
  EXPECT_EQ(transport.LastCommand("Runtime.evaluate"), nullptr);
  AnswerSnapshot(kSnapshot);
  EXPECT_EQ(std::count(log.begin(), log.end(), "rebuild"), 1);
}

TEST_F(PageInspectionTest, AFailedSnapshotShowsNoPageAndSaysWhy) {
  NavigateTopFrame();
  AnswerSnapshot("{not json");
  EXPECT_EQ(log, (std::vector<std::string>{"loading", "fault: the page snapshot is not a JSON object", "rebuild"}));
  EXPECT_EQ(browser.HtmlDocument(), nullptr);

  NavigateTopFrame();
  const auto* world = transport.LastCommand("Page.createIsolatedWorld");
  client.OnMessage(Json{{"id", (*world)["id"]}, {"error", {{"code", -32000}, {"message", "No frame"}}}}.dump());
  EXPECT_EQ(log[log.size() - 2], "fault: No frame");
  EXPECT_EQ(log.back(), "rebuild");

  inspection.OnPageClosed();
  EXPECT_EQ(inspection.PageSession(), "");
  EXPECT_FALSE(inspection.OnEvent({std::nullopt, "Page.frameStartedNavigating", "S1", {}, {}, {}}));
}

}  // namespace
}  // namespace tracewell::devtools
