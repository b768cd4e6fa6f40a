// The proxy's sockets with deadlines: a pending read or write past its deadline
// fails with a timeout, a deadline that passes while nothing is pending harms no one
// (a kept connection waits for its next request), and the read and write
// deadlines of one socket are separate, as a tunnel pumping both ways needs them.

#include "proxy/timed_stream.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace tracewell::testing {
namespace {

using namespace proxy;
using namespace std::chrono_literals;

// A connected pair on 127.0.0.1: the stream under test and its plain peer.
struct Pair {
  asio::io_context io{1};
  std::optional<CTimedStream> stream;
  Socket peer{io.get_executor()};

  Pair() {
    tcp::acceptor::rebind_executor<Executor>::other acceptor(
        io.get_executor(), tcp::endpoint(asio::ip::address_v4::loopback(), 0));
    Socket near(io.get_executor());
    near.connect(acceptor.local_endpoint());
    acceptor.accept(peer);
    stream.emplace(std::move(near));
  }

  // Runs `task`, then closes the stream, so that its timer lets the context end.
  void Run(Task<> task) {
    asio::co_spawn(io, std::move(task), [this](std::exception_ptr error) {
      stream.reset();
      if (error) std::rethrow_exception(error);
    });
    io.run();
  }

  // A read of one byte beside the running task; `done` once it has ended.
  Task<> ReadByte(error_code& ec, bool& done) {
    char byte;
    co_await stream->async_read_some(asio::buffer(&byte, 1), Await(ec));
    done = true;
  }
};

// Coroutines here are named lambdas that outlive the run: a coroutine keeps using
// its lambda's captures.


// Lets what was spawned before run up to its first wait.
Task<> Yield() { co_await asio::post(co_await asio::this_coro::executor, asio::use_awaitable_t<Executor>()); }

Task<> Sleep(std::chrono::milliseconds duration) {
  Timer timer(co_await asio::this_coro::executor, duration);
  error_code ignored;
  co_await timer.async_wait(Await(ignored));
}

TEST(RecorderTimedStream, PendingReadPastItsDeadlineTimesOutAndSoDoesEveryLaterStep) {
  Pair pair;
  error_code read;
  error_code later;
  bool open = true;
  const auto steps = [&]() -> Task<> {
    char byte;
    pair.stream->expires_after(50ms);
    co_await pair.stream->async_read_some(asio::buffer(&byte, 1), Await(read));
    pair.stream->expires_after(5s);
    co_await pair.stream->async_write_some(asio::buffer(&byte, 1), Await(later));
    open = pair.stream->socket().is_open();
  };
  pair.Run(steps());
  EXPECT_EQ(read, beast::error::timeout);
  EXPECT_EQ(later, beast::error::timeout);
  EXPECT_FALSE(open);
}

TEST(RecorderTimedStream, DeadlinePassingWhileNothingIsPendingKeepsTheConnection) {
  Pair pair;
  error_code read;
  const auto steps = [&]() -> Task<> {
    pair.stream->expires_after(20ms);
    error_code ignored;
    co_await pair.stream->async_write_some(asio::buffer("x", 1), Await(ignored));
    co_await Sleep(100ms);  // the deadline passes between two steps
    co_await asio::async_write(pair.peer, asio::buffer("y", 1), Await(ignored));
    char byte = 0;
    pair.stream->expires_after(5s);
    co_await pair.stream->async_read_some(asio::buffer(&byte, 1), Await(read));
    EXPECT_EQ(byte, 'y');
  };
  pair.Run(steps());
  EXPECT_FALSE(read) << read.message();
}

TEST(RecorderTimedStream, ReadAndWriteDeadlinesAreSeparate) {
  // A read waiting with a long deadline outlives a write's short one...
  {
    Pair pair;
    error_code read;
    error_code write;
    bool readDone = false;
    const auto steps = [&]() -> Task<> {
      pair.stream->expires_after(5s);
      asio::co_spawn(pair.io, pair.ReadByte(read, readDone), asio::detached);
      co_await Yield();
      pair.stream->expires_after(20ms);
      co_await pair.stream->async_write_some(asio::buffer("x", 1), Await(write));
      co_await Sleep(100ms);
      error_code ignored;
      co_await asio::async_write(pair.peer, asio::buffer("y", 1), Await(ignored));
      while (!readDone) co_await Sleep(5ms);
    };
    pair.Run(steps());
    EXPECT_FALSE(write) << write.message();
    EXPECT_FALSE(read) << read.message();
  }
  // ...and a read with a short deadline is cut off although writes set a long one.
  {
    Pair pair;
    error_code read;
    error_code write;
    bool readDone = false;
    const auto steps = [&]() -> Task<> {
      pair.stream->expires_after(50ms);
      asio::co_spawn(pair.io, pair.ReadByte(read, readDone), asio::detached);
      co_await Yield();
      pair.stream->expires_after(5s);
      co_await pair.stream->async_write_some(asio::buffer("x", 1), Await(write));
      while (!readDone) co_await Sleep(5ms);
    };
    pair.Run(steps());
    EXPECT_FALSE(write) << write.message();
    EXPECT_EQ(read, beast::error::timeout);
  }
}

TEST(RecorderTimedStream, ConnectTakesTheFirstEndpointThatAccepts) {
  asio::io_context io{1};
  tcp::acceptor listening(io, tcp::endpoint(asio::ip::address_v4::loopback(), 0));
  tcp::endpoint closed;
  {
    tcp::acceptor probe(io, tcp::endpoint(asio::ip::address_v4::loopback(), 0));
    closed = probe.local_endpoint();
  }  // nothing listens there any more
  std::optional<CTimedStream> stream(io.get_executor());
  error_code ec;
  tcp::endpoint connected;
  const std::vector<tcp::endpoint> endpoints = {closed, listening.local_endpoint()};
  const auto steps = [&]() -> Task<> {
    stream->expires_after(5s);
    ec = co_await stream->Connect(endpoints, connected);
    stream.reset();  // its timer would keep the context running
  };
  asio::co_spawn(io, steps(), asio::detached);
  io.run();
  EXPECT_FALSE(ec) << ec.message();
  EXPECT_EQ(connected, listening.local_endpoint());
}

}  // namespace
}  // namespace tracewell::testing
