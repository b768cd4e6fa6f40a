#include "pipe_transport.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

namespace tracewell::browser {
namespace {

using namespace std::chrono_literals;

// The browser's end of a pipe, and what the transport handed on from it.
class PipeTransportTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, m_ends), 0); }
  void TearDown() override {
    m_transport.reset();
    close(m_ends[0]);
    if (m_ends[1] >= 0) close(m_ends[1]);
  }

  void Open(std::size_t maxMessage) {
    m_transport = std::make_unique<CPipeTransport>(
        m_ends[0],
        PipeHandlers{[this](std::string message) { Note(m_messages, std::move(message)); },
                     [this](std::string reason) { Note(m_faults, std::move(reason)); },
                     [this] { Note(m_closes, "closed"); }},
        maxMessage);
  }
  void BrowserWrites(std::string_view bytes) {
    ASSERT_EQ(write(m_ends[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  void BrowserCloses() {
    close(m_ends[1]);
    m_ends[1] = -1;
  }
  std::string BrowserReads(std::size_t size) {
    std::string bytes(size, '\0');
    std::size_t got = 0;
    while (got < size) {
      const ssize_t n = read(m_ends[1], bytes.data() + got, size - got);
      if (n <= 0) break;
      got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    return bytes;
  }
  // Waits (bounded) until `list` holds `count` entries.
  bool WaitFor(const std::vector<std::string>& list, std::size_t count) {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, 5s, [&] { return list.size() >= count; });
  }
  std::vector<std::string> Messages() {
    const std::lock_guard lock(m_mutex);
    return m_messages;
  }

  std::vector<std::string> m_messages, m_faults, m_closes;
  std::unique_ptr<CPipeTransport> m_transport;

 private:
  void Note(std::vector<std::string>& list, std::string entry) {
    const std::lock_guard lock(m_mutex);
    list.push_back(std::move(entry));
    m_changed.notify_all();
  }

  int m_ends[2] = {-1, -1};
  std::mutex m_mutex;
  std::condition_variable m_changed;
};

TEST_F(PipeTransportTest, CutsMessagesAtEachNulWhereverTheReadsEnd) {
  Open(1024);
  BrowserWrites("{\"id\":1}");
  BrowserWrites(std::string_view("\0{\"a\"", 5));
  BrowserWrites(std::string_view(":2}\0{}\0", 7));
  ASSERT_TRUE(WaitFor(m_messages, 3));
  EXPECT_EQ(Messages(), (std::vector<std::string>{"{\"id\":1}", "{\"a\":2}", "{}"}));
  BrowserCloses();
  ASSERT_TRUE(WaitFor(m_closes, 1));
  EXPECT_TRUE(m_faults.empty());
}

TEST_F(PipeTransportTest, DropsAMessageOverTheLimitAndGoesOnWithTheNext) {
  Open(8);
  BrowserWrites("0123456789");  // past the limit before its end arrives
  BrowserWrites("abcdef");
  BrowserWrites(std::string_view("\0short\0", 7));
  ASSERT_TRUE(WaitFor(m_messages, 1));
  EXPECT_EQ(Messages(), std::vector<std::string>{"short"});
  ASSERT_EQ(m_faults.size(), 1u);
  EXPECT_EQ(m_faults[0], "the browser sent a message longer than the limit");
}

TEST_F(PipeTransportTest, WritesEachMessageWithItsNulAndReportsAWriteToAClosedBrowser) {
  Open(1024);
  m_transport->Send("{\"id\":7}");
  EXPECT_EQ(BrowserReads(9), std::string("{\"id\":7}\0", 9));
  BrowserCloses();
  ASSERT_TRUE(WaitFor(m_closes, 1));
  m_transport->Send("{\"id\":8}");  // no SIGPIPE: the test process lives on
  ASSERT_TRUE(WaitFor(m_faults, 1));
  EXPECT_EQ(m_faults[0].rfind("cannot write to the browser: ", 0), 0u) << m_faults[0];
}

TEST_F(PipeTransportTest, GoingAwayStopsTheReaderWithoutAClosedReport) {
  Open(1024);
  m_transport.reset();
  EXPECT_TRUE(m_closes.empty());
}

}  // namespace
}  // namespace tracewell::browser
