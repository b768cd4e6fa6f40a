#include "proxy/timed_stream.h"

#include <algorithm>

namespace tracewell::proxy {

CTimedStream::CTimedStream(const Executor& executor)
    : m_state(std::make_shared<State>(Socket(executor))) {}

CTimedStream::CTimedStream(Socket socket) : m_state(std::make_shared<State>(std::move(socket))) {}

CTimedStream::~CTimedStream() {
  error_code ignored;
  m_state->socket.close(ignored);
  m_state->timer.cancel();
}

void CTimedStream::expires_after(Clock::duration timeout) {
  const Clock::time_point at = Clock::now() + timeout;
  if (!m_state->read.pending) m_state->read.deadline = at;
  if (!m_state->write.pending) m_state->write.deadline = at;
}

Task<error_code> CTimedStream::Connect(const std::vector<tcp::endpoint>& endpoints,
                                       tcp::endpoint& connected) {
  error_code ec = asio::error::host_not_found;
  for (const tcp::endpoint& endpoint : endpoints) {
    error_code ignored;
    m_state->socket.close(ignored);
    m_state->socket.open(endpoint.protocol(), ec);
    if (ec) continue;
    m_state->Begin(m_state->write);
    co_await m_state->socket.async_connect(endpoint, Await(ec));
    m_state->End(m_state->write, ec);
    if (!ec) {
      connected = endpoint;
      co_return ec;
    }
    if (m_state->expired) break;
  }
  co_return ec;
}

void CTimedStream::State::Begin(Direction& direction) {
  direction.pending = true;
  if (direction.deadline < armedFor) Arm(direction.deadline);
}

void CTimedStream::State::End(Direction& direction, error_code& ec) {
  direction.pending = false;
  if (ec && expired) ec = beast::error::timeout;
}

void CTimedStream::State::Arm(Clock::time_point at) {
  armedFor = at;
  timer.expires_at(at);  // a wait for a later time ends as aborted
  timer.async_wait([watched = weak_from_this(), at](error_code ec) {
    const auto state = watched.lock();
    if (ec || !state || state->armedFor != at) return;
    state->Wake();
  });
}

void CTimedStream::State::Wake() {
  armedFor = Clock::time_point::max();
  const Clock::time_point now = Clock::now();
  Clock::time_point next = Clock::time_point::max();
  for (const Direction* direction : {&read, &write}) {
    if (!direction->pending) continue;
    if (direction->deadline <= now) {
      expired = true;
      error_code ignored;
      socket.close(ignored);
      return;
    }
    next = std::min(next, direction->deadline);
  }
  if (next != Clock::time_point::max()) Arm(next);
}

}  // namespace tracewell::proxy
