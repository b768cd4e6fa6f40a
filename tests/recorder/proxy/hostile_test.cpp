// The recorder against clients and origins that misbehave: each case on real loopback
// sockets, with the origin of the tests' own doing the wrong thing on cue.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <thread>

#include "recorder_harness.h"
#include "support/temp_dir.h"
#include "support/test_origin.h"
#include "text/code_page.h"

namespace tracewell::testing {
namespace {

std::string Get(const TestOrigin& origin, std::string_view path, bool close = false) {
  return "GET " + origin.Url(path) + " HTTP/1.1\r\nHost: x\r\n" +
         (close ? "Connection: close\r\n" : "") + "\r\n";
}

std::size_t Count(std::string_view text, std::string_view what) {
  std::size_t count = 0;
  for (auto at = text.find(what); at != text.npos; at = text.find(what, at + 1)) ++count;
  return count;
}

std::size_t CountHeads(TestOrigin& origin, std::string_view start) {
  const auto heads = origin.Heads();
  return static_cast<std::size_t>(
      std::count_if(heads.begin(), heads.end(), [&](const std::string& head) { return head.starts_with(start); }));
}

TEST(HostileOrigin, BytesPastAResponseAreNeverServedAsTheNextOne) {
  TestOrigin origin;
  RecorderHarness harness;
  // Past a body of known length (in the same read, or before the next request), after
  // a 204, after the body of a response to HEAD: each time the next request gets its
  // own response.
  for (const char* path : {"/excess", "/no-content"}) {
    const std::string reply = RawExchange(harness.Port(), Get(origin, path) + Get(origin, "/hello", true));
    EXPECT_EQ(reply.find("SMUGGLED"), std::string::npos) << path << "\n" << reply;
    EXPECT_TRUE(reply.ends_with("<p>hello</p>")) << path << "\n" << reply;
  }
  {
    proxy::asio::io_context io;
    proxy::tcp::socket client(io);
    client.connect({proxy::asio::ip::address_v4::loopback(), harness.Port()});
    proxy::asio::write(client, proxy::asio::buffer(Get(origin, "/excess-late")));
    std::string first(96, '\0');
    first.resize(proxy::asio::read(client, proxy::asio::buffer(first), proxy::asio::transfer_at_least(1)));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the unasked bytes arrive meanwhile
    proxy::asio::write(client, proxy::asio::buffer(Get(origin, "/hello", true)));
    proxy::error_code ec;
    std::string rest;
    proxy::asio::read(client, proxy::asio::dynamic_buffer(rest), ec);
    EXPECT_EQ(rest.find("SMUGGLED"), std::string::npos) << rest;
    EXPECT_TRUE(rest.ends_with("<p>hello</p>")) << rest;
  }
  const std::string reply = RawExchange(
      harness.Port(), "HEAD " + origin.Url("/hello") + " HTTP/1.1\r\nHost: x\r\n\r\n" + Get(origin, "/hello", true));
  EXPECT_EQ(Count(reply, "<p>hello</p>"), 1u) << reply;
  const auto& records = harness.WaitForFinished(8);
  for (const auto& record : records) {
    EXPECT_TRUE(record->m_strResult == u"200" || record->m_strResult == u"204") << ToCodePage(record->m_strUrl);
  }
}

TEST(HostileOrigin, ConnectionNamingAFramingFieldKeepsTheResponseFramed) {
  TestOrigin origin;
  RecorderHarness harness;
  const std::string reply =
      RawExchange(harness.Port(), Get(origin, "/connection-length") + Get(origin, "/hello", true));
  EXPECT_TRUE(reply.starts_with("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhelloHTTP/1.1 200 OK")) << reply;
  EXPECT_TRUE(reply.ends_with("<p>hello</p>")) << reply;
}

TEST(HostileOrigin, ARequestIsSentAgainAfterAKeptConnectionDiesOnlyWhenThatIsSafe) {
  TestOrigin origin;
  RecorderHarness harness;
  // The origin reads each request to /vanish and closes without answering.
  const std::string post = RawExchange(
      harness.Port(), Get(origin, "/hello") + "POST " + origin.Url("/vanish") +
                          " HTTP/1.1\r\nHost: x\r\nContent-Length: 3\r\nConnection: close\r\n\r\nabc");
  EXPECT_NE(post.find("HTTP/1.1 502 Bad Gateway"), std::string::npos) << post;
  EXPECT_EQ(CountHeads(origin, "POST /vanish"), 1u);
  const auto& records = harness.WaitForFinished(2);
  EXPECT_EQ(records.at(1)->m_strResult, u"12030");

  // A GET may go again, once, on a new connection.
  RawExchange(harness.Port(), Get(origin, "/hello") + Get(origin, "/vanish", true));
  EXPECT_EQ(CountHeads(origin, "GET /vanish"), 2u);
  EXPECT_EQ(harness.WaitForFinished(4).at(3)->m_strResult, u"12030");
}

TEST(HostileOrigin, TheOriginGetsTheUrlsAuthorityAsHostAndTheRecordWhatTheClientSent) {
  TestOrigin origin;
  RecorderHarness harness;
  const std::string reply = RawExchange(
      harness.Port(), "GET " + origin.Url("/hello") + " HTTP/1.1\r\nHost: other.example\r\nConnection: close\r\n\r\n");
  EXPECT_TRUE(reply.ends_with("<p>hello</p>"));
  const std::string authority = "127.0.0.1:" + std::to_string(origin.Port());
  EXPECT_NE(origin.Heads().at(0).find("\r\nHost: " + authority + "\r\n"), std::string::npos);
  const CHttpTransaction& record = *harness.WaitForFinished(1).at(0);
  EXPECT_NE(record.m_strRequestHeaders.find(u"\r\nHost: other.example\r\n"), std::u16string::npos);
}

// One request of `size` body bytes in either framing, through to the origin's /count.
std::string Upload(unsigned short port, const TestOrigin& origin, std::size_t size, bool chunked) {
  std::string request = "POST " + origin.Url("/count") + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n";
  if (chunked) {
    char length[32];
    std::snprintf(length, sizeof length, "%zx", size);
    request += "Transfer-Encoding: chunked\r\n\r\n" + std::string(length) + "\r\n" + std::string(size, 'u') +
               "\r\n0\r\n\r\n";
  } else {
    request += "Content-Length: " + std::to_string(size) + "\r\n\r\n" + std::string(size, 'u');
  }
  return RawExchange(port, request);
}

TEST(HostileClient, UploadsUpTo64MiBGoThroughInBothFramingsAndLargerOnesGet413) {
  TestOrigin origin;
  // The origin counts 64 MiB before it answers: a sanitizer build on a busy machine
  // takes longer than the tests' usual wait for an answer.
  proxy::ProxyOptions options = TestProxyOptions();
  options.ioTimeout = std::chrono::seconds(10);
  RecorderHarness harness(options);
  constexpr std::size_t kMiB = 1u << 20;
  for (const bool chunked : {false, true}) {
    for (const std::size_t size : {kMiB - 1, kMiB, kMiB + 1, std::size_t{2'000'000}, 64 * kMiB}) {
      const std::string reply = Upload(harness.Port(), origin, size, chunked);
      EXPECT_TRUE(reply.starts_with("HTTP/1.1 200 OK")) << size << (chunked ? " chunked" : "") << "\n" << reply;
      EXPECT_TRUE(reply.ends_with("\r\n\r\n" + std::to_string(size))) << size;
    }
    // The whole of a refused upload is read, so the answer arrives instead of a reset.
    const std::string refused = Upload(harness.Port(), origin, 64 * kMiB + 1, chunked);
    EXPECT_TRUE(refused.starts_with("HTTP/1.1 413 Payload Too Large")) << refused.substr(0, 200);
  }
  EXPECT_EQ(harness.WaitForFinished(10).size(), 10u);
}

TEST(HostileClient, UnknownTransferCodingsAreRefusedAndNothingIsForwarded) {
  TestOrigin origin;
  RecorderHarness harness;
  const std::string smuggled = Get(origin, "/hello", true);
  const std::string unknown = RawExchange(
      harness.Port(), "POST " + origin.Url("/echo") + " HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: gzip\r\n\r\n" + smuggled);
  EXPECT_TRUE(unknown.starts_with("HTTP/1.1 400 Bad Request")) << unknown;
  EXPECT_EQ(Count(unknown, "HTTP/1.1"), 1u) << unknown;
  const std::string layered = RawExchange(
      harness.Port(), "POST " + origin.Url("/echo") +
                          " HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: gzip, chunked\r\n\r\n3\r\nabc\r\n0\r\n\r\n");
  EXPECT_TRUE(layered.starts_with("HTTP/1.1 501 Not Implemented")) << layered;
  EXPECT_TRUE(origin.Heads().empty());
}

TEST(HostileClient, AClientThatHalfClosesAfterItsRequestGetsItsAnswerAndNothingElse) {
  TestOrigin origin;
  RecorderHarness harness;
  const std::string reply = RawHalfClosedExchange(harness.Port(), Get(origin, "/hello"));
  EXPECT_TRUE(reply.ends_with("<p>hello</p>")) << reply;
  EXPECT_EQ(Count(reply, "HTTP/1.1"), 1u) << reply;

  // Through a tunnel too: the half-close reaches the origin, and its answer comes back.
  const std::string authority = "127.0.0.1:" + std::to_string(origin.Port());
  const std::string tunnel = RawHalfClosedExchange(
      harness.Port(), "CONNECT " + authority + " HTTP/1.1\r\nHost: " + authority + "\r\n\r\n" +
                          "GET /hello HTTP/1.1\r\nHost: x\r\n\r\n");
  EXPECT_TRUE(tunnel.ends_with("<p>hello</p>")) << tunnel;
  EXPECT_EQ(harness.WaitForFinished(2).at(1)->m_strResult, u"200");
}

TEST(HostileClient, RefusalsAndOriginFailuresAreLoggedOneLineEach) {
  TestOrigin origin;
  proxy::ProxyOptions options = TestProxyOptions();
  std::mutex mutex;
  std::vector<std::string> lines;
  options.failureLog = [&](std::string_view line) {
    const std::lock_guard lock(mutex);
    lines.emplace_back(line);
  };
  RecorderHarness harness(options);
  RawExchange(harness.Port(), "GARBAGE\r\n\r\n");
  RawExchange(harness.Port(), Get(origin, "/reset", true));
  harness.WaitForFinished(1);
  const std::lock_guard lock(mutex);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_TRUE(lines[0].starts_with("client 127.0.0.1:")) << lines[0];
  EXPECT_TRUE(lines[0].ends_with(": Tracewell could not parse the request.")) << lines[0];
  EXPECT_NE(lines[1].find("the response from 127.0.0.1:"), std::string::npos) << lines[1];
}

// The CPU time (user and system, in clock ticks) a process has used so far.
long CpuTicks(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), {});
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::string field;
  long ticks = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i == 14 || i == 15) ticks += std::stol(field);
  }
  return ticks;
}

TEST(HostileClient, RunningOutOfDescriptorsPausesAcceptingAndServesTheConnectedClients) {
#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
  GTEST_SKIP() << "the sanitizer runtime needs descriptors of its own that this test takes away";
#endif
#endif
  TestOrigin origin;
  TempDir dir;
  const std::string output = (dir / "session.elf").string();
  int errors[2];
  ASSERT_EQ(pipe(errors), 0);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(errors[1], STDERR_FILENO);
    close(errors[0]);
    execlp("prlimit", "prlimit", "--nofile=40:40", TRACEWELL_BINARY, "record", "--listen",
           "127.0.0.1:0", "--loopback-only", "--no-store", "-o", output.c_str(),
           static_cast<char*>(nullptr));
    _exit(127);
  }
  close(errors[1]);
  std::string banner;
  for (char c; read(errors[0], &c, 1) == 1 && c != '\n';) banner += c;
  std::smatch address;
  ASSERT_TRUE(std::regex_search(banner, address, std::regex("127\\.0\\.0\\.1:([0-9]+)"))) << banner;
  const auto port = static_cast<unsigned short>(std::stoi(address[1]));
  {
    proxy::asio::io_context io;
    proxy::tcp::socket first(io);
    first.connect({proxy::asio::ip::address_v4::loopback(), port});
    // Its origin connection is open before the descriptors run out, and kept.
    proxy::asio::write(first, proxy::asio::buffer(Get(origin, "/hello")));
    std::string reply;
    proxy::asio::read_until(first, proxy::asio::dynamic_buffer(reply), "<p>hello</p>");
    std::vector<proxy::tcp::socket> idle;
    for (int i = 0; i < 60; ++i) {
      idle.emplace_back(io).connect({proxy::asio::ip::address_v4::loopback(), port});
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const long before = CpuTicks(pid);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const long used = CpuTicks(pid) - before;
    EXPECT_LT(used, sysconf(_SC_CLK_TCK) / 3) << "the accept loop spins";  // it took a whole core
    proxy::asio::write(first, proxy::asio::buffer(Get(origin, "/hello", true)));
    proxy::error_code ec;
    proxy::asio::read(first, proxy::asio::dynamic_buffer(reply), ec);
    // Answered: by the origin over the kept connection, or, when the origin has closed
    // that meanwhile, with a 502 that says why no new one could be opened.
    EXPECT_EQ(Count(reply, "HTTP/1.1 "), 2u) << reply;
  }
  kill(pid, SIGTERM);
  std::string said;
  char buffer[4096];
  for (ssize_t got; (got = read(errors[0], buffer, sizeof buffer)) > 0;) said.append(buffer, static_cast<std::size_t>(got));
  close(errors[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_EQ(Count(said, "cannot accept new clients"), 1u) << said;
}

}  // namespace
}  // namespace tracewell::testing
