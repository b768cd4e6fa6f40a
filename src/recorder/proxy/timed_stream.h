#pragma once
// A connection's socket with a deadline for its reads and one for its writes, as
// beast's tcp_stream keeps them, but with one timer per socket instead of a timer
// armed and cancelled for every read and write: a step only moves its deadline, and
// the timer, when it wakes, closes the socket if a pending operation's deadline has
// passed, or else sleeps until the nearest one. An operation cut off that way, and
// any after it, fails with beast::error::timeout.

#include <chrono>
#include <memory>
#include <vector>

#include "proxy/asio.h"

namespace tracewell::proxy {

class CTimedStream {
 public:
  using executor_type = Executor;
  using lowest_layer_type = Socket;  // what a TLS stream over this one asks for
  using Clock = std::chrono::steady_clock;

  explicit CTimedStream(const Executor& executor);
  explicit CTimedStream(Socket socket);
  // Closes the socket.
  ~CTimedStream();
  CTimedStream(const CTimedStream&) = delete;
  CTimedStream& operator=(const CTimedStream&) = delete;

  Executor get_executor() { return m_state->socket.get_executor(); }
  Socket& socket() { return m_state->socket; }
  Socket& lowest_layer() { return m_state->socket; }

  // The deadline of the next reads and writes (not of one already running): `timeout`
  // from now, until it is set again.
  void expires_after(Clock::duration timeout);

  // Connects to the first of `endpoints` that accepts, all within the write deadline.
  Task<error_code> Connect(const std::vector<tcp::endpoint>& endpoints, tcp::endpoint& connected);

  template <typename MutableBuffers, typename Token>
  auto async_read_some(const MutableBuffers& buffers, Token&& token) {
    return asio::async_initiate<Token, void(error_code, std::size_t)>(
        [state = m_state](auto handler, const MutableBuffers& into) {
          state->Begin(state->read);
          state->socket.async_read_some(
              into, [state, handler = std::move(handler)](error_code ec, std::size_t size) mutable {
                state->End(state->read, ec);
                std::move(handler)(ec, size);
              });
        },
        token, buffers);
  }

  template <typename ConstBuffers, typename Token>
  auto async_write_some(const ConstBuffers& buffers, Token&& token) {
    return asio::async_initiate<Token, void(error_code, std::size_t)>(
        [state = m_state](auto handler, const ConstBuffers& from) {
          state->Begin(state->write);
          state->socket.async_write_some(
              from, [state, handler = std::move(handler)](error_code ec, std::size_t size) mutable {
                state->End(state->write, ec);
                std::move(handler)(ec, size);
              });
        },
        token, buffers);
  }

  // Waits until the socket can be read (wait_read) or written (wait_write), within
  // that direction's deadline.
  template <typename Token>
  auto async_wait(Socket::wait_type what, Token&& token) {
    return asio::async_initiate<Token, void(error_code)>(
        [state = m_state](auto handler, Socket::wait_type type) {
          Direction& direction = type == Socket::wait_read ? state->read : state->write;
          state->Begin(direction);
          state->socket.async_wait(type, [state, &direction, handler = std::move(handler)](error_code ec) mutable {
            state->End(direction, ec);
            std::move(handler)(ec);
          });
        },
        token, what);
  }

 private:
  struct Direction {
    Clock::time_point deadline = Clock::time_point::max();
    bool pending = false;
  };

  // Shared with the operations in flight, so that a completion never outlives it;
  // the timer only watches it.
  struct State : std::enable_shared_from_this<State> {
    explicit State(Socket s) : socket(std::move(s)), timer(socket.get_executor()) {}

    void Begin(Direction& direction);
    void End(Direction& direction, error_code& ec);
    void Arm(Clock::time_point at);
    void Wake();

    Socket socket;
    Timer timer;
    Direction read;
    Direction write;
    Clock::time_point armedFor = Clock::time_point::max();  // max: the timer sleeps
    bool expired = false;
  };

  std::shared_ptr<State> m_state;
};

}  // namespace tracewell::proxy
