#include "pipe_transport.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <system_error>

namespace tracewell::browser {
namespace {

constexpr std::size_t kReadChunk = 64 * 1024;

std::string ErrnoText(int error) { return std::generic_category().message(error); }

}  // namespace

CPipeTransport::CPipeTransport(int fd, PipeHandlers handlers, std::size_t maxMessage)
    : m_fd(fd), m_handlers(std::move(handlers)), m_maxMessage(maxMessage) {
  int stop[2];
  if (pipe2(stop, O_CLOEXEC) != 0) {
    throw std::system_error(errno, std::generic_category(), "cannot make the reader's stop pipe");
  }
  m_stopRead = stop[0];
  m_stopWrite = stop[1];
  m_reader = std::thread([this] { ReadLoop(); });
}

CPipeTransport::~CPipeTransport() {
  const char byte = 0;
  while (write(m_stopWrite, &byte, 1) < 0 && errno == EINTR) {
  }
  m_reader.join();
  close(m_stopRead);
  close(m_stopWrite);
}

void CPipeTransport::Send(std::string message) {
  message.push_back('\0');
  const std::lock_guard lock(m_writeMutex);
  std::size_t sent = 0;
  while (sent < message.size()) {
    const ssize_t n = send(m_fd, message.data() + sent, message.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (m_handlers.onFault) m_handlers.onFault("cannot write to the browser: " + ErrnoText(errno));
      return;
    }
    sent += static_cast<std::size_t>(n);
  }
}

void CPipeTransport::ReadLoop() {
  std::string pending;
  bool skipping = false;  // inside a message that grew past the limit
  std::string chunk(kReadChunk, '\0');
  for (;;) {
    pollfd fds[2] = {{m_fd, POLLIN, 0}, {m_stopRead, POLLIN, 0}};
    if (poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      if (m_handlers.onFault) m_handlers.onFault("cannot wait for the browser: " + ErrnoText(errno));
      break;
    }
    if (fds[1].revents != 0) return;  // this object goes: no close report
    const ssize_t n = recv(m_fd, chunk.data(), chunk.size(), 0);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      if (m_handlers.onFault) m_handlers.onFault("cannot read from the browser: " + ErrnoText(errno));
      break;
    }
    if (n == 0) break;
    std::string_view data(chunk.data(), static_cast<std::size_t>(n));
    while (!data.empty()) {
      const auto end = data.find('\0');
      const std::string_view part = data.substr(0, end);
      if (!skipping) pending.append(part);
      if (!skipping && pending.size() > m_maxMessage) {
        if (m_handlers.onFault) m_handlers.onFault("the browser sent a message longer than the limit");
        pending.clear();
        pending.shrink_to_fit();
        skipping = true;
      }
      if (end == std::string_view::npos) break;
      if (!skipping && m_handlers.onMessage) m_handlers.onMessage(std::move(pending));
      pending.clear();
      skipping = false;
      data.remove_prefix(end + 1);
    }
  }
  if (m_handlers.onClosed) m_handlers.onClosed();
}

}  // namespace tracewell::browser
