// Bodies moved from socket to socket through a pipe: exactly the length asked and not
// a byte past it (the next response on a kept connection starts there), what came
// before an origin's early end or stall still reaches the client, and a client that
// has gone fails the step instead of ending the process.

#include "proxy/body_splice.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>

namespace tracewell::testing {
namespace {

using namespace proxy;
using namespace std::chrono_literals;

// Two connections on 127.0.0.1 served by one context: the origin's (`from`, whose
// peer plays the origin) and the client's (`to`, whose peer plays the client).
struct SpliceFixture {
  asio::io_context io{1};
  std::optional<CTimedStream> from;
  std::optional<CTimedStream> to;
  Socket origin{io.get_executor()};
  Socket client{io.get_executor()};

  SpliceFixture() {
    BlockBrokenPipeSignal();
    Connect(from, origin);
    Connect(to, client);
  }

  void Connect(std::optional<CTimedStream>& near, Socket& far) {
    tcp::acceptor::rebind_executor<Executor>::other acceptor(io.get_executor(),
                                                             tcp::endpoint(asio::ip::address_v4::loopback(), 0));
    Socket socket(io.get_executor());
    socket.connect(acceptor.local_endpoint());
    acceptor.accept(far);
    near.emplace(std::move(socket));
  }

  // Splices `length` bytes with `timeout` for each wait; the context stops when it
  // ends, without waiting for the streams' timers.
  SpliceResult Splice(std::uint64_t length, std::chrono::milliseconds timeout = 5s) {
    auto pipe = CSplicePipe::Open();
    EXPECT_TRUE(pipe);
    SpliceResult result;
    asio::co_spawn(
        io, [&]() -> Task<> { result = co_await SpliceBody(*pipe, *from, *to, length, timeout); },
        [this](std::exception_ptr error) {
          io.stop();
          if (error) std::rethrow_exception(error);
        });
    io.run();
    io.restart();
    return result;
  }

  // What the client's side has received, once the stream toward it is closed.
  std::string Received() {
    to.reset();
    std::string received;
    error_code ec;
    asio::read(client, asio::dynamic_buffer(received), ec);
    return received;
  }
};

std::string Bytes(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>('a' + i % 23);
  return bytes;
}

TEST(RecorderBodySplice, MovesExactlyTheLengthAndLeavesWhatFollowsForTheNextResponse) {
  SpliceFixture fixture;
  const std::string body = Bytes(3'000'001);
  std::thread origin([&] { asio::write(fixture.origin, asio::buffer(body + "NEXT")); });
  const SpliceResult result = fixture.Splice(body.size());
  EXPECT_EQ(result.moved, body.size());
  EXPECT_FALSE(result.upstream) << result.upstream.message();
  EXPECT_FALSE(result.client) << result.client.message();
  std::string next(4, '\0');
  asio::read(fixture.from->socket(), asio::buffer(next));
  EXPECT_EQ(next, "NEXT");
  // The client reads while the origin may still be writing the body's end.
  EXPECT_EQ(fixture.Received(), body);
  origin.join();
}

TEST(RecorderBodySplice, WhatCameBeforeAnOriginEndedOrStalledReachesTheClient) {
  const std::string part = Bytes(200'000);
  {
    SpliceFixture ended;
    asio::write(ended.origin, asio::buffer(part));
    ended.origin.close();
    const SpliceResult result = ended.Splice(2 * part.size());
    EXPECT_EQ(result.upstream, asio::error::eof);
    EXPECT_EQ(result.moved, part.size());
    EXPECT_EQ(ended.Received(), part);
  }
  {
    SpliceFixture stalled;
    asio::write(stalled.origin, asio::buffer(part));
    const SpliceResult result = stalled.Splice(2 * part.size(), 100ms);
    EXPECT_EQ(result.upstream, beast::error::timeout);
    EXPECT_EQ(result.moved, part.size());
    EXPECT_EQ(stalled.Received(), part);
  }
}

TEST(RecorderBodySplice, AClientThatHasGoneFailsTheStepAndTheProcessGoesOn) {
  SpliceFixture fixture;
  fixture.client.set_option(asio::socket_base::linger(true, 0));
  fixture.client.close();  // a reset: the next write fails at once
  const std::string body = Bytes(4'000'000);
  std::thread origin([&] {
    error_code ec;
    asio::write(fixture.origin, asio::buffer(body), ec);
  });
  const SpliceResult result = fixture.Splice(body.size());
  EXPECT_TRUE(result.client);
  EXPECT_LT(result.moved, body.size());
  fixture.from.reset();  // the origin's writer stops
  origin.join();
}

}  // namespace
}  // namespace tracewell::testing
