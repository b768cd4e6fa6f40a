// Many bindings on several threads hand their records to one receiving thread that
// reads them, replaces the session now and then, and finally goes away while
// requests are still running. Run under ThreadSanitizer and AddressSanitizer.

#include <gtest/gtest.h>

#include <thread>

#include "core/capture/fake_protocol.h"

namespace tracewell {
namespace {

constexpr int kThreads = 4;
constexpr int kBindingsPerThread = 100;

void RunBindings(const IClock& clock, ICacheStore& cache, std::shared_ptr<ICaptureNotifier> notifier) {
  for (int i = 0; i < kBindingsPerThread; ++i) {
    auto target = std::make_shared<testing::FakeTarget>();
    target->answers = {{kQueryRawHeadersCrLf | kQueryFlagRequestHeaders, "GET / HTTP/1.1\r\n\r\n"},
                       {kQueryRawHeadersCrLf, "HTTP/1.1 200 OK\r\n\r\n"},
                       {kQueryStatusCode, "200"}};
    target->body = "0123456789";
    target->script = [](IProtocolSink& sink) {
      sink.ReportProgress(kBindStatusConnecting, u"127.0.0.1");
      sink.ReportProgress(kBindStatusSendingRequest, u"");
      sink.ReportProgress(kBindStatusMimeTypeAvailable, u"text/html");
      sink.ReportData(kLastDataNotification, 20, 20);
      sink.ReportResult(hr::Ok, 0, u"");
    };
    testing::FakeBrowser browser;
    browser.info.verb = kBindVerbGet;
    CHttpHandlerAPP handler(clock, cache);
    handler.SetTarget(target);
    handler.SetNotifyWindow(notifier);
    handler.Start(u"http://127.0.0.1/" + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)),
                  &browser, &browser, 0);
    char buffer[4];
    std::uint32_t read = 0;
    while (handler.Read(buffer, sizeof buffer, read) == hr::Ok && read > 0) {
    }
    handler.Terminate(0);
  }
}

// Keeps the records and checks, for every update, that what it reads is whole.
class CheckingWindow final : public ITransactionHandler {
 public:
  TransactionArray session;
  int finished = 0;
  void OnTransactionStarted(std::unique_ptr<CHttpTransaction> record) override {
    EXPECT_EQ(record->m_strUrl.size(), 18u);
    session.push_back(std::move(record));
  }
  void OnTransactionUpdated(CHttpTransaction& record, std::uint32_t mask) override {
    if (mask & kMaskFinished) {
      ++finished;
      EXPECT_EQ(record.m_strResult, u"200");
      EXPECT_EQ(record.m_nSize, 20);
      EXPECT_EQ(record.m_strIpAddress, u"127.0.0.1");
    }
  }
};

TEST(CaptureStress, ThreadsHandOverWhileTheSessionIsReplacedAndTornDown) {
  testing::FakeClock clock = testing::FakeClock::Ticking();
  testing::FakeCacheStore cache;
  cache.entries[u"http://127.0.0.1/a"].SourceUrlName = u"http://127.0.0.1/a";
  auto queue = std::make_shared<CCaptureQueue>();
  CheckingWindow window;
  auto receiver = std::make_unique<CCaptureReceiver>(window);

  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) threads.emplace_back(RunBindings, std::cref(clock), std::ref(cache), queue);

  int rounds = 0;
  std::size_t delivered = 0;
  while (delivered < kThreads * kBindingsPerThread * 7u / 2) {
    for (auto& message : queue->TakeAll()) {
      receiver->Deliver(std::move(message));
      ++delivered;
    }
    if (++rounds % 50 == 0) {  // a log file replaces the session
      receiver->ForgetRecords();
      window.session.clear();
    }
    std::this_thread::yield();
  }
  // The window closes while requests still run: nothing is delivered any more.
  queue->Close();
  receiver.reset();
  window.session.clear();
  for (auto& thread : threads) thread.join();
  EXPECT_TRUE(queue->TakeAll().empty());
  EXPECT_GT(window.finished, 0);
}

TEST(CaptureStress, EveryRecordArrivesWholeAndInOrder) {
  testing::FakeClock clock = testing::FakeClock::Ticking();
  testing::FakeCacheStore cache;
  auto queue = std::make_shared<CCaptureQueue>();
  CheckingWindow window;
  CCaptureReceiver receiver(window);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) threads.emplace_back(RunBindings, std::cref(clock), std::ref(cache), queue);
  for (auto& thread : threads) thread.join();
  for (auto& message : queue->TakeAll()) receiver.Deliver(std::move(message));
  EXPECT_EQ(window.session.size(), static_cast<std::size_t>(kThreads * kBindingsPerThread));
  EXPECT_EQ(window.finished, kThreads * kBindingsPerThread);
  EXPECT_EQ(receiver.LiveRecords(), 0u);
}

}  // namespace
}  // namespace tracewell
