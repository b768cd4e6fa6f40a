#include "devtools/target_attacher.h"

#include <gtest/gtest.h>

#include "core/devtools/layer_harness.h"
#include "text/utf8.h"

namespace tracewell {
namespace {

using json = devtools::Json;

constexpr std::string_view kPage = "B5DDAA62F7C956555A8F0FD255F99871";
constexpr std::string_view kFrame = "7C0E4B1A9F2D3E5A6B8C0D1E2F3A4B5C";

std::string Attached(std::string_view sessionId, std::string_view type, std::string_view targetId,
                     std::string_view url, std::string_view parent = {}) {
  json event = {{"method", "Target.attachedToTarget"},
                {"params",
                 {{"sessionId", sessionId},
                  {"targetInfo",
                   {{"targetId", targetId}, {"type", type}, {"title", ""}, {"url", url},
                    {"attached", true}, {"canAccessOpener", false},
                    {"browserContextId", "793D6A3BFAE6F55402B8C97BD3D54EB6"}}},
                  {"waitingForDebugger", true}}}};
  if (!parent.empty()) event["sessionId"] = parent;
  return event.dump();
}

// The commands sent, as "method sessionId" lines.
std::vector<std::string> Commands(const testing::FakeDevToolsTransport& transport, std::size_t from = 0) {
  std::vector<std::string> commands;
  for (std::size_t i = from; i < transport.sent.size(); ++i) {
    const json& command = transport.sent[i];
    commands.push_back(command["method"].get<std::string>() + " " +
                       command.value("sessionId", std::string("(browser)")));
  }
  return commands;
}

struct Attaching {
  testing::FakeDevToolsTransport transport;
  devtools::CDevToolsClient client{transport};
  devtools::CTargetAttacher attacher{client};
  std::vector<std::string> detached;
  std::vector<std::string> faults;
  std::vector<std::string> passedOn;  // events that were not the attacher's

  Attaching() {
    client.SetEventHandler([this](const devtools::DevToolsMessage& event) {
      if (!attacher.OnEvent(event)) passedOn.push_back(event.method);
    });
    attacher.SetDetachHandler([this](std::string_view sessionId) { detached.emplace_back(sessionId); });
    attacher.SetFaultHandler([this](std::string_view reason) { faults.emplace_back(reason); });
  }
};

TEST(DevToolsTargetAttacher, AttachesToEveryTargetThatMakesRequests) {
  Attaching test;
  test.attacher.Start();
  ASSERT_EQ(test.transport.sent.size(), 1u);
  EXPECT_EQ(test.transport.sent[0],
            json::parse(R"({"id":1,"method":"Target.setAutoAttach","params":{"autoAttach":true,"waitForDebuggerOnStart":true,"flatten":true}})"));

  test.client.OnMessage(Attached(kPage, "page", "B8C7A23C87AADCA279C7AD86C9A82DA2", "about:blank"));
  EXPECT_EQ(Commands(test.transport, 1),
            (std::vector<std::string>{"Network.enable " + std::string(kPage),
                                      "Page.enable " + std::string(kPage),
                                      "Target.setAutoAttach " + std::string(kPage),
                                      "Runtime.runIfWaitingForDebugger " + std::string(kPage)}));
  EXPECT_EQ(test.transport.sent[3]["params"],
            json::parse(R"({"autoAttach":true,"waitForDebuggerOnStart":true,"flatten":true})"));

  const std::pair<std::string_view, std::vector<std::string>> kinds[] = {
      {"iframe", {"Network.enable", "Page.enable", "Target.setAutoAttach", "Runtime.runIfWaitingForDebugger"}},
      {"worker", {"Network.enable", "Target.setAutoAttach", "Runtime.runIfWaitingForDebugger"}},
      {"shared_worker", {"Network.enable", "Target.setAutoAttach", "Runtime.runIfWaitingForDebugger"}},
      {"service_worker", {"Network.enable", "Target.setAutoAttach", "Runtime.runIfWaitingForDebugger"}},
      {"browser_ui", {"Runtime.runIfWaitingForDebugger"}},
      {"tab", {"Runtime.runIfWaitingForDebugger"}},
  };
  int n = 0;
  for (const auto& [type, expected] : kinds) {
    SCOPED_TRACE(type);
    const std::string session = "S" + std::to_string(++n);
    const std::size_t before = test.transport.sent.size();
    test.client.OnMessage(Attached(session, type, "T" + std::to_string(n), "http://127.0.0.1:8123/", kPage));
    std::vector<std::string> wanted;
    for (const std::string& method : expected) wanted.push_back(method + " " + session);
    EXPECT_EQ(Commands(test.transport, before), wanted);
  }
  ASSERT_EQ(test.attacher.Sessions().size(), 7u);
  const devtools::AttachedTarget& frame = test.attacher.Sessions().at("S1");
  EXPECT_EQ(frame.type, "iframe");
  EXPECT_EQ(frame.targetId, "T1");
  EXPECT_EQ(frame.url, "http://127.0.0.1:8123/");
  EXPECT_EQ(frame.parentSessionId, kPage);
  EXPECT_TRUE(test.faults.empty());
  EXPECT_TRUE(test.passedOn.empty());
}

TEST(DevToolsTargetAttacher, TellsOfEveryDetachedSessionWithTheSessionsUnderIt) {
  Attaching test;
  test.client.OnMessage(Attached(kPage, "page", "P", "http://127.0.0.1:8123/"));
  test.client.OnMessage(Attached(kFrame, "iframe", "F", "http://127.0.0.1:8124/", kPage));
  test.client.OnMessage(Attached("W", "worker", "W", "http://127.0.0.1:8124/w.js", kFrame));
  test.client.OnMessage(Attached("Other", "page", "O", "about:blank"));

  test.client.OnMessage(R"({"method":"Target.detachedFromTarget","params":{"sessionId":")" +
                        std::string(kPage) + R"(","targetId":"P"}})");
  EXPECT_EQ(test.detached, (std::vector<std::string>{std::string(kPage), std::string(kFrame), "W"}));
  EXPECT_EQ(test.attacher.Sessions().size(), 1u);

  test.client.OnMessage(R"({"method":"Target.targetCrashed","params":{"targetId":"O","status":"crashed","errorCode":139}})");
  EXPECT_EQ(test.detached.back(), "Other");
  EXPECT_TRUE(test.attacher.Sessions().empty());
  // A detach the attacher already handled changes nothing.
  test.client.OnMessage(R"({"method":"Target.detachedFromTarget","params":{"sessionId":"Other","targetId":"O"}})");
  EXPECT_EQ(test.detached.size(), 4u);

  test.client.OnMessage(R"({"method":"Network.loadingFinished","params":{"requestId":"1"},"sessionId":"W"})");
  EXPECT_EQ(test.passedOn, std::vector<std::string>{"Network.loadingFinished"});
}

TEST(DevToolsTargetAttacher, MalformedTargetEventsAreReportedAndSendNothing) {
  Attaching test;
  const std::string bad[] = {
      R"({"method":"Target.attachedToTarget","params":{"targetInfo":{"targetId":"T","type":"page"}}})",
      R"({"method":"Target.attachedToTarget","params":{"sessionId":"S","targetInfo":"page"}})",
      R"({"method":"Target.attachedToTarget","params":{"sessionId":"S","targetInfo":{"type":"page"}}})",
      R"({"method":"Target.detachedFromTarget","params":{"sessionId":5}})",
      R"({"method":"Target.targetCrashed","params":{}})",
  };
  for (const std::string& event : bad) test.client.OnMessage(event);
  EXPECT_EQ(test.faults.size(), std::size(bad));
  EXPECT_TRUE(test.transport.sent.empty());
  EXPECT_TRUE(test.attacher.Sessions().empty());
}

// The attacher and the network layer together, as a browse session wires them.
struct Browsing : testing::LayerHarness {
  devtools::CTargetAttacher attacher{client};

  Browsing() {
    client.SetEventHandler([this](const devtools::DevToolsMessage& event) {
      if (!attacher.OnEvent(event)) layer.OnEvent(event);
    });
    attacher.SetDetachHandler([this](std::string_view sessionId) { layer.OnSessionDetached(sessionId); });
    attacher.SetFaultHandler([this](std::string_view reason) { faults.emplace_back(reason); });
  }
};

// A page that goes away mid-load leaves a finished record behind.
TEST(DevToolsTargetAttacher, ADetachedPageEndsItsRequestsInTheNetworkLayer) {
  Browsing harness;
  harness.Play(Attached(kPage, "page", "P", "about:blank"));
  harness.Play(R"({"method":"Network.requestWillBeSent","params":{"requestId":"25273.2","loaderId":"L","request":{"url":"http://127.0.0.1:8123/style.css","method":"GET","headers":{}},"timestamp":1,"type":"Stylesheet"},"sessionId":")" +
               std::string(kPage) + R"("})");
  EXPECT_EQ(harness.layer.RequestsInFlight(), 1u);
  harness.Play(R"({"method":"Target.detachedFromTarget","params":{"sessionId":")" + std::string(kPage) +
               R"(","targetId":"P"}})");
  EXPECT_EQ(harness.layer.RequestsInFlight(), 0u);
  ASSERT_EQ(harness.Records(), 1u);
  EXPECT_EQ(harness.Record(0).m_strResult, u"(Aborted)");
  EXPECT_EQ(harness.receiver.LiveRecords(), 0u);
}

// A whole browse session as Chromium 156 sent it over the pipe: the page and the
// browser's own targets attached, a page loaded, loaded again, reloaded, a form
// posted, and the page closed; Page and Network events of every kind on the way.
TEST(DevToolsTargetAttacher, ARecordedBrowseSessionBecomesItsRecords) {
  Browsing harness;
  harness.PlayFile("browse_session.jsonl");

  std::vector<std::string> results;
  for (std::size_t i = 0; i < harness.Records(); ++i) results.push_back(ToUtf8(harness.Record(i).m_strResult));
  const std::vector<std::string> load = {"200", "200", "200", "200", "200", "302", "301", "200", "12029", "200", "404"};
  const std::vector<std::string> again = {"200", "(Cache)", "(Cache)", "304", "200", "302", "301", "200", "12029", "200"};
  std::vector<std::string> expected = load;
  expected.insert(expected.end(), again.begin(), again.end());  // the second load
  expected.insert(expected.end(), again.begin(), again.end());  // the reload
  expected.push_back("404");                                     // the form's answer
  EXPECT_EQ(results, expected);
  EXPECT_TRUE(harness.faults.empty()) << harness.faults.front();
  EXPECT_EQ(harness.layer.RequestsInFlight(), 0u);
  EXPECT_EQ(harness.receiver.LiveRecords(), 0u);
  // The browser's own user interface targets were let run and nothing more.
  std::size_t networkEnabled = 0;
  for (const json& command : harness.transport.sent) {
    networkEnabled += command["method"] == "Network.enable" ? 1 : 0;
  }
  EXPECT_EQ(networkEnabled, 2u) << "the first page and the page the session created";
  EXPECT_EQ(harness.attacher.Sessions().size(), 3u) << "the page detached when it closed";
}

}  // namespace
}  // namespace tracewell

namespace tracewell {
namespace {

TEST(DevToolsTargetAttacher, ATargetIsReadyOnlyOnceEverySetupCommandIsAnswered) {
  Attaching test;
  std::vector<std::string> ready;
  test.attacher.SetReadyHandler([&](std::string_view sessionId) { ready.emplace_back(sessionId); });
  test.client.OnMessage(Attached(kPage, "page", "B8C7A23C87AADCA279C7AD86C9A82DA2", "about:blank"));
  ASSERT_EQ(test.transport.sent.size(), 4u);
  // The browser answers out of order: the page-side commands come last.
  for (const std::size_t i : {2u, 3u, 0u}) {
    test.client.OnMessage(testing::ReplyTo(test.transport.sent[i], json::object()));
    EXPECT_TRUE(ready.empty()) << i;
  }
  test.client.OnMessage(testing::ReplyTo(test.transport.sent[1], json::object()));
  EXPECT_EQ(ready, std::vector<std::string>{std::string(kPage)});

  // A target that goes before its answers is never ready.
  test.client.OnMessage(Attached(kFrame, "iframe", "F1", "about:blank", kPage));
  test.client.OnMessage(json{{"method", "Target.detachedFromTarget"},
                             {"params", {{"sessionId", kFrame}}},
                             {"sessionId", kPage}}.dump());
  for (std::size_t i = 4; i < test.transport.sent.size(); ++i) {
    test.client.OnMessage(testing::ReplyTo(test.transport.sent[i], json::object()));
  }
  EXPECT_EQ(ready.size(), 1u);
}

}  // namespace
}  // namespace tracewell
