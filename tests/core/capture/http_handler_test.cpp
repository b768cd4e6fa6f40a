#include "capture/http_handler.h"

#include <gtest/gtest.h>

#include "core/capture/fake_protocol.h"

namespace tracewell {
namespace {

using namespace std::string_literals;
using testing::FakeBrowser;
using testing::FakeCacheStore;
using testing::FakeTarget;
using testing::FakeWindow;
using Log = std::vector<testing::WindowStep>;
using testing::Started;
using testing::Updated;

constexpr std::uint32_t kRequestHeaders = kQueryRawHeadersCrLf | kQueryFlagRequestHeaders;
constexpr HResult kFailure{static_cast<std::int32_t>(0x800C0007u)};

// One binding driven through a fake protocol layer into a fake main window.
struct Binding {
  testing::FakeClock clock = testing::FakeClock::Ticking();
  FakeCacheStore cache;
  FakeWindow window;
  CCaptureReceiver receiver{window};
  std::shared_ptr<testing::DirectNotifier> notifier =
      std::make_shared<testing::DirectNotifier>(receiver);
  std::shared_ptr<FakeTarget> target = std::make_shared<FakeTarget>();
  FakeBrowser browser;
  CHttpHandlerAPP handler{clock, cache};

  Binding() {
    EXPECT_EQ(handler.SetTarget(target), hr::Ok);
    handler.SetNotifyWindow(notifier);
  }

  HResult Run(std::u16string_view url = u"http://127.0.0.1/a") {
    const HResult started = handler.Start(url, &browser, &browser, 0);
    char buffer[64];
    std::uint32_t read = 0;
    while (handler.Read(buffer, sizeof buffer, read) == hr::Ok && read > 0) {
    }
    handler.Terminate(0);
    return started;
  }
  const CHttpTransaction& Record(std::size_t i = 0) const { return *window.session.at(i); }
};

// The reports of a plain request that the server answers with `status`.
void Exchange(IProtocolSink& sink, HResult result = hr::Ok, std::uint32_t error = 0) {
  sink.ReportProgress(kBindStatusConnecting, u"127.0.0.1");
  sink.ReportProgress(kBindStatusSendingRequest, u"");
  sink.ReportProgress(kBindStatusMimeTypeAvailable, u"text/html");
  sink.ReportData(1, 10, 0);
  sink.ReportData(kLastDataNotification, 20, 20);
  sink.ReportResult(result, error, u"");
}

TEST(CaptureBinding, PlainGetFillsTheRecordAndAnnouncesEachChange) {
  Binding b;
  b.browser.info.verb = kBindVerbGet;
  b.target->answers = {{kRequestHeaders, "GET /a HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"},
                       {kQueryRawHeadersCrLf, "HTTP/1.1 200 OK\r\nContent-Length: 20\r\n\r\n"},
                       {kQueryStatusCode, "200"}};
  b.target->script = [](IProtocolSink& sink) { Exchange(sink); };
  CacheEntrySnapshot entry;
  entry.SourceUrlName = u"http://127.0.0.1/a";
  entry.HitRate = 3;
  b.cache.entries[u"http://127.0.0.1/a"] = entry;

  EXPECT_EQ(b.Run(), hr::Ok);
  EXPECT_EQ(b.window.log, (Log{Started, Updated(kMaskIpAddress), Updated(kMaskSent), Updated(kMaskType),
                               Updated(kMaskSize), Updated(kMaskResult | kMaskType), Updated(kMaskDuration | kMaskSize | kMaskFinished)}));
  const CHttpTransaction& r = b.Record();
  EXPECT_EQ(r.m_strUrl, u"http://127.0.0.1/a");
  EXPECT_EQ(r.m_strMethod, u"GET");
  EXPECT_EQ(r.m_strIpAddress, u"127.0.0.1");
  EXPECT_EQ(r.m_strRequestHeaders, u"GET /a HTTP/1.1\r\nHost: 127.0.0.1\r\n");
  EXPECT_EQ(r.m_nSent, 34 + 2);  // the block as stored, plus 2
  EXPECT_EQ(r.m_strMimeType, u"text/html");
  EXPECT_EQ(r.m_nSize, 20);
  EXPECT_EQ(r.m_strResult, u"200");
  EXPECT_EQ(r.m_strResponseHeaders, u"HTTP/1.1 200 OK\r\nContent-Length: 20\r\n");
  EXPECT_EQ(r.m_stStarted, (SystemTime{2026, 12, 1, 7, 9, 5, 3, 0}));
  EXPECT_EQ(r.m_stEnded, (SystemTime{2026, 12, 1, 7, 9, 5, 3, 1}));
  ASSERT_NE(r.m_pCacheInfoBefore, nullptr);
  EXPECT_EQ(r.m_pCacheInfoBefore->HitRate, 3u);
  ASSERT_NE(r.m_pCacheInfoAfter, nullptr);
  // Every report reached the browser unchanged.
  EXPECT_EQ(b.browser.progress, (std::vector<std::uint32_t>{2, 11, 13}));
  EXPECT_EQ(b.browser.dataReports, 2);
  EXPECT_EQ(b.browser.results, 1);
  EXPECT_EQ(b.target->terminates, 1);
  EXPECT_EQ(b.receiver.LiveRecords(), 0u);
}

TEST(CaptureBinding, PostBodiesStopAtTheirFirstNulAndCountInSent) {
  struct FixedStream final : IPostDataStream {
    std::string data = "a=1\0hidden"s;
    std::size_t at = 0;
    std::optional<std::uint64_t> Size() override { return data.size(); }
    std::uint32_t Read(char* dest, std::uint32_t count) override {
      const auto n = static_cast<std::uint32_t>(std::min<std::size_t>(count, data.size() - at));
      std::copy_n(data.data() + at, n, dest);
      at += n;
      return n;
    }
  } stream;
  for (const std::uint32_t medium : {kMediumHGlobal, kMediumStream}) {
    Binding b;
    b.browser.info = {kBindVerbPost, medium, "x=1&y=\xE9\0z"s, &stream, {}};
    b.target->answers = {{kRequestHeaders, "POST / HTTP/1.1\r\n\r\n"}};
    b.target->script = [](IProtocolSink& sink) {
      sink.ReportProgress(kBindStatusSendingRequest, u"");
    };
    b.Run();
    const std::u16string expected = medium == kMediumHGlobal ? u"x=1&y=\u00E9" : u"a=1";
    EXPECT_EQ(b.Record().m_strPostData, expected);
    EXPECT_EQ(b.Record().m_nSent, static_cast<std::int32_t>(17 + 2 + expected.size()));
  }
}

TEST(CaptureBinding, VerbsOtherThanPostCarryNoBody) {
  const std::pair<std::uint32_t, std::u16string> verbs[] = {
      {kBindVerbPut, u"PUT"}, {kBindVerbGet, u"GET"}, {kBindVerbCustom, u"DELETE"}, {7, u""}};
  for (const auto& [verb, method] : verbs) {
    Binding b;
    b.browser.info = {verb, kMediumHGlobal, "body", nullptr, u"DELETE"};
    b.Run();
    EXPECT_EQ(b.Record().m_strMethod, method);
    EXPECT_EQ(b.Record().m_strPostData, u"");
  }
}

TEST(CaptureBinding, RedirectChainGivesOneRecordPerHop) {
  Binding b;
  b.browser.info = {kBindVerbPost, kMediumHGlobal, "q=1", nullptr, {}};
  int hop = 0;
  b.target->answers = {{kRequestHeaders, "POST /a HTTP/1.1\r\n\r\n"},
                       {kQueryRawHeadersCrLf,
                        "HTTP/1.1 302 Found\r\ncontent-TYPE:  text/html; charset=x \r\n"
                        "Content-Length: 5\r\n\r\n"},
                       {kQueryContentLength, "5"},
                       {kQueryStatusCode, "302"}};
  b.target->script = [&](IProtocolSink& sink) {
    sink.ReportProgress(kBindStatusConnecting, u"127.0.0.1");
    sink.ReportProgress(kBindStatusSendingRequest, u"");
    for (const auto* next : {u"http://127.0.0.1/b", u"http://127.0.0.1/c"}) {
      sink.ReportProgress(kBindStatusRedirecting, next);
      b.target->answers[kRequestHeaders] = "GET /" + std::to_string(++hop) + " HTTP/1.1\r\n\r\n";
      sink.ReportProgress(kBindStatusSendingRequest, u"");
    }
    b.target->answers[kQueryStatusCode] = "200";
    b.target->answers[kQueryRawHeadersCrLf] = "HTTP/1.1 200 OK\r\n\r\n";
    sink.ReportResult(hr::Ok, 0, u"");
  };
  b.Run();

  EXPECT_EQ(b.window.log, (Log{Started, Updated(kMaskIpAddress), Updated(kMaskSent),  // first hop
                               Updated(kMaskResult), Updated(kMaskDuration | kMaskSize | kMaskType), Started, Updated(kMaskSent | kMaskMethod),
                               Updated(kMaskResult), Updated(kMaskDuration | kMaskSize | kMaskType), Started, Updated(kMaskSent | kMaskMethod),
                               Updated(kMaskResult | kMaskType), Updated(kMaskDuration | kMaskSize | kMaskFinished)}));
  ASSERT_EQ(b.window.session.size(), 3u);
  const CHttpTransaction& first = b.Record(0);
  EXPECT_EQ(first.m_strMethod, u"POST");
  EXPECT_EQ(first.m_strResult, u"302");
  EXPECT_EQ(first.m_strRedirectUrl, u"http://127.0.0.1/b");
  EXPECT_EQ(first.m_strMimeType, u"text/html; charset=x");
  EXPECT_EQ(first.m_nSize, 5);
  EXPECT_NE(first.m_stEnded.wYear, 0);
  EXPECT_EQ(first.m_pCacheInfoAfter, nullptr);
  const CHttpTransaction& second = b.Record(1);
  EXPECT_EQ(second.m_strUrl, u"http://127.0.0.1/b");
  EXPECT_EQ(second.m_strMethod, u"GET");  // from the re-sent request line
  EXPECT_EQ(second.m_strPostData, u"");
  EXPECT_EQ(second.m_nSent, 17 + 2);
  EXPECT_EQ(second.m_strRedirectUrl, u"http://127.0.0.1/c");
  const CHttpTransaction& last = b.Record(2);
  EXPECT_EQ(last.m_strUrl, u"http://127.0.0.1/c");
  EXPECT_EQ(last.m_strResult, u"200");
  EXPECT_EQ(last.m_strRedirectUrl, u"");
}

TEST(CaptureBinding, RedirectHandedToTheClientKeepsItsLocation) {
  for (const auto& [status, expected] : {std::pair{"302", u"/next?a=1"}, std::pair{"200", u""}}) {
    Binding b;
    b.target->answers[kQueryStatusCode] = status;
    b.target->answers[kQueryRawHeadersCrLf] =
        "HTTP/1.1 "s + status + " X\r\nlocation:  /next?a=1 \r\n\r\n";
    b.target->script = [](IProtocolSink& sink) { Exchange(sink); };
    b.Run();
    ASSERT_EQ(b.window.session.size(), 1u);  // the client follows it with a request of its own
    EXPECT_EQ(b.Record().m_strResult, std::u16string(status, status + 3));
    EXPECT_EQ(b.Record().m_strRedirectUrl, expected);
  }
}

struct ResultCase {
  const char* name;
  HResult result;
  std::uint32_t error;
  const char* status;  // status-code query answer; null: the query fails
  std::optional<std::uint32_t> requestFlags;
  bool requestSent;
  std::u16string expected;
  bool takesHeaders;
  friend void PrintTo(const ResultCase& c, std::ostream* os) { *os << c.name; }
};

class CaptureResult : public ::testing::TestWithParam<ResultCase> {};

TEST_P(CaptureResult, FollowsTheResultRules) {
  const ResultCase& c = GetParam();
  Binding b;
  if (c.status) b.target->answers[kQueryStatusCode] = c.status;
  b.target->answers[kQueryRawHeadersCrLf] = "HTTP/1.1 x\r\n\r\n";
  b.target->answers[kQueryContentType] = "text/plain";
  b.target->requestFlags = c.requestFlags;
  b.target->script = [&](IProtocolSink& sink) {
    if (c.requestSent) sink.ReportProgress(kBindStatusSendingRequest, u"");
    sink.ReportResult(c.result, c.error, u"");
  };
  b.Run();
  EXPECT_EQ(b.Record().m_strResult, c.expected);
  EXPECT_EQ(b.Record().m_strResponseHeaders, c.takesHeaders ? u"HTTP/1.1 x\r\n" : u"");
  EXPECT_EQ(b.window.log.back(), Updated(kMaskDuration | kMaskSize | kMaskFinished));
}

INSTANTIATE_TEST_SUITE_P(
    Results, CaptureResult,
    ::testing::Values(
        ResultCase{"Ok", hr::Ok, 0, "200", 0, true, u"200", true},
        ResultCase{"CacheHit", hr::Ok, 0, "200", 1, false, u"(Cache)", false},
        ResultCase{"Revalidated", hr::Ok, 0, "200", 1, true, u"304", true},
        ResultCase{"FromCacheIsAnEqualityTest", hr::Ok, 0, "200", 3, true, u"200", true},
        ResultCase{"SuccessWithErrorCapturesNothing", hr::Ok, 5, "200", 0, true, u"", false},
        ResultCase{"NetworkErrorLow", kFailure, 12001, "0", 0, true, u"12001", false},
        ResultCase{"NetworkErrorHigh", kFailure, 12056, nullptr, 0, false, u"12056", false},
        ResultCase{"ErrorOutsideRangeNoStatus", kFailure, 12057, nullptr, 0, true, u"(Aborted)", false},
        ResultCase{"StatusAbove505", kFailure, 0, "600", 0, true, u"(Aborted)", false},
        ResultCase{"HttpErrorStatus", kFailure, 0, "404", 0, true, u"404", true},
        ResultCase{"FailedAfter200", kFailure, 0, "200", 0, true, u"200", true},
        ResultCase{"FailedAfter200FromCache", kFailure, 0, "200", 1, true, u"304", true},
        ResultCase{"FailedBeforeSending", kFailure, 0, "200", 0, false, u"", false}),
    [](const auto& param) { return param.param.name; });

TEST(CaptureBinding, SizeFallsBackToTheBytesRead) {
  Binding b;
  b.target->body = std::string(150, 'x');
  b.Run();
  EXPECT_EQ(b.Record().m_nSize, 150);
}

TEST(CaptureBinding, MissingPiecesStillAnnounceTheRecord) {
  {  // no target: created and announced, every forwarding call unexpected
    testing::FakeClock clock = testing::FakeClock::Ticking();
    FakeCacheStore cache;
    FakeWindow window;
    CCaptureReceiver receiver(window);
    CHttpHandlerAPP handler(clock, cache);
    handler.SetNotifyWindow(std::make_shared<testing::DirectNotifier>(receiver));
    FakeBrowser browser;
    EXPECT_EQ(handler.Start(u"http://h/", &browser, &browser, 0), hr::Unexpected);
    std::uint32_t read = 0;
    EXPECT_EQ(handler.Read(nullptr, 0, read), hr::Unexpected);
    EXPECT_EQ(handler.Terminate(0), hr::Unexpected);
    EXPECT_EQ(window.log, (Log{Started, Updated(kMaskDuration | kMaskSize | kMaskFinished)}));
    EXPECT_EQ(handler.SetTarget(nullptr), hr::Pointer);
    EXPECT_EQ(handler.QueryOption(), hr::False);
  }
  {  // no bind information: no method, the start fails on the missing pointer
    Binding b;
    EXPECT_EQ(b.handler.Start(u"http://h/", &b.browser, nullptr, 0), hr::Pointer);
    EXPECT_EQ(b.Record().m_strMethod, u"");
    EXPECT_NE(b.Record().m_stStarted.wYear, 0);
    EXPECT_EQ(b.handler.SetTarget(b.target), hr::Unexpected);
  }
  {  // bind information that fails
    Binding b;
    b.browser.bindInfoResult = hr::Fail;
    b.browser.info.verb = kBindVerbPost;
    EXPECT_EQ(b.Run(), hr::Ok);
    EXPECT_EQ(b.Record().m_strMethod, u"");
  }
}

TEST(CaptureBinding, StartExTakesTheAbsoluteUri) {
  struct Uri final : IUri {
    std::optional<std::u16string> text;
    std::optional<std::u16string> GetAbsoluteUri() const override { return text; }
  } uri;
  Binding b;
  b.cache.entries[u""] = CacheEntrySnapshot{};
  EXPECT_EQ(b.handler.StartEx(&uri, &b.browser, &b.browser, 0), hr::Ok);
  EXPECT_EQ(b.Record().m_strUrl, u"");
  EXPECT_EQ(b.Record().m_pCacheInfoBefore, nullptr);  // no URL, no look-up worth its name

  Binding withUri;
  uri.text = u"http://127.0.0.1/x";
  EXPECT_EQ(withUri.handler.StartEx(&uri, &withUri.browser, &withUri.browser, 0), hr::Ok);
  EXPECT_EQ(withUri.Record().m_strUrl, u"http://127.0.0.1/x");

  Binding noUri;
  EXPECT_EQ(noUri.handler.StartEx(nullptr, &noUri.browser, &noUri.browser, 0), hr::Pointer);
  EXPECT_EQ(noUri.window.log, (Log{Started}));
}

TEST(CaptureBinding, TerminatingTwiceFinishesOnce) {
  Binding b;
  b.Run();
  b.handler.Terminate(0);
  EXPECT_EQ(std::count(b.window.log.begin(), b.window.log.end(),
                       Updated(kMaskDuration | kMaskSize | kMaskFinished)), 1);
  EXPECT_EQ(b.target->terminates, 2);
}

TEST(CaptureReceiver, ForgottenRecordsIgnoreLaterMessages) {
  Binding b;
  b.target->script = [&](IProtocolSink& sink) {
    sink.ReportProgress(kBindStatusConnecting, u"127.0.0.1");
    b.window.session.clear();  // a log file replaced the session
    b.receiver.ForgetRecords();
    sink.ReportProgress(kBindStatusMimeTypeAvailable, u"text/html");
  };
  b.Run();
  EXPECT_EQ(b.window.log, (Log{Started, Updated(kMaskIpAddress)}));
}

TEST(TakeCacheSnapshot, FollowsTheStoresSizeContract) {
  FakeCacheStore store;
  EXPECT_EQ(TakeCacheSnapshot(store, u"http://absent/"), nullptr);
  CacheEntrySnapshot entry;
  entry.SourceUrlName = u"http://h/";
  entry.UseCount = 2;
  store.entries[u"http://h/"] = entry;
  const auto snapshot = TakeCacheSnapshot(store, u"http://h/");
  ASSERT_NE(snapshot, nullptr);
  EXPECT_EQ(*snapshot, entry);
  store.growBy = 1;  // the entry grew between the two questions
  EXPECT_EQ(TakeCacheSnapshot(store, u"http://h/"), nullptr);
}

}  // namespace
}  // namespace tracewell
