#include "proxy/body_splice.h"

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include <csignal>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace tracewell::proxy {
namespace {

// Asked of the system for each pipe; it may give less, which only means more steps.
constexpr int kPipeBytes = 1 << 20;

error_code LastError() { return {errno, boost::system::system_category()}; }

}  // namespace

void BlockBrokenPipeSignal() {
  sigset_t brokenPipe;
  sigemptyset(&brokenPipe);
  sigaddset(&brokenPipe, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &brokenPipe, nullptr);
}

std::optional<CSplicePipe> CSplicePipe::Open() {
  int ends[2];
  if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return std::nullopt;
  fcntl(ends[1], F_SETPIPE_SZ, kPipeBytes);  // a refusal keeps the default size
  return CSplicePipe(ends[0], ends[1]);
}

CSplicePipe::CSplicePipe(CSplicePipe&& other) noexcept
    : m_read(std::exchange(other.m_read, -1)), m_write(std::exchange(other.m_write, -1)) {}

CSplicePipe& CSplicePipe::operator=(CSplicePipe&& other) noexcept {
  std::swap(m_read, other.m_read);
  std::swap(m_write, other.m_write);
  return *this;
}

CSplicePipe::~CSplicePipe() {
  if (m_read >= 0) close(m_read);
  if (m_write >= 0) close(m_write);
}

Task<SpliceResult> SpliceBody(CSplicePipe& pipe, CTimedStream& from, CTimedStream& to, std::uint64_t length,
                              CTimedStream::Clock::duration timeout) {
  SpliceResult result;
  // Both sockets must not block: a step that cannot go on waits for its socket instead.
  from.socket().native_non_blocking(true, result.upstream);
  to.socket().native_non_blocking(true, result.client);
  if (result.upstream || result.client) co_return result;
  const int fromSocket = from.socket().native_handle();
  const int toSocket = to.socket().native_handle();
  std::uint64_t unread = length;
  std::size_t inPipe = 0;
  while (!result.client && (inPipe > 0 || (unread > 0 && !result.upstream))) {
    if (unread > 0 && !result.upstream) {
      const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(unread, kPipeBytes));
      const ssize_t taken = splice(fromSocket, nullptr, pipe.WriteEnd(), nullptr, want, SPLICE_F_MOVE | SPLICE_F_NONBLOCK);
      if (taken > 0) {
        unread -= static_cast<std::uint64_t>(taken);
        inPipe += static_cast<std::size_t>(taken);
      } else if (taken == 0) {
        result.upstream = asio::error::eof;  // the origin closed before the length it named
      } else if (errno == EAGAIN && inPipe == 0) {
        from.expires_after(timeout);
        co_await from.async_wait(Socket::wait_read, Await(result.upstream));
        continue;
      } else if (errno != EAGAIN && errno != EINTR) {
        result.upstream = LastError();
      }
    }
    if (inPipe == 0) continue;
    const unsigned more = unread > 0 ? SPLICE_F_MORE : 0;
    const ssize_t given = splice(pipe.ReadEnd(), nullptr, toSocket, nullptr, inPipe, SPLICE_F_MOVE | SPLICE_F_NONBLOCK | more);
    if (given > 0) {
      inPipe -= static_cast<std::size_t>(given);
      result.moved += static_cast<std::uint64_t>(given);
    } else if (given < 0 && errno == EAGAIN) {
      to.expires_after(timeout);
      co_await to.async_wait(Socket::wait_write, Await(result.client));
    } else if (given == 0 || errno != EINTR) {
      result.client = given == 0 ? asio::error::broken_pipe : LastError();
    }
  }
  co_return result;
}

}  // namespace tracewell::proxy
