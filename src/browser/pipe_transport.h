#pragma once
// The debugging pipe as a transport: messages out are written whole, each with its
// closing NUL; a reader thread cuts what the browser writes at each NUL and hands every
// message to `onMessage`. A message longer than the reader's limit is dropped with a
// fault instead of growing without end. `onClosed` runs once, on the reader thread,
// when the browser's end closes or reading fails.

#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "devtools/devtools_client.h"

namespace tracewell::browser {

struct PipeHandlers {
  std::function<void(std::string message)> onMessage;
  std::function<void(std::string reason)> onFault;
  std::function<void()> onClosed;
};

class CPipeTransport final : public devtools::IDevToolsTransport {
 public:
  // `fd` stays owned by the caller and must outlive this object.
  CPipeTransport(int fd, PipeHandlers handlers, std::size_t maxMessage);
  // Stops the reader (the caller's descriptor stays open).
  ~CPipeTransport() override;
  CPipeTransport(const CPipeTransport&) = delete;
  CPipeTransport& operator=(const CPipeTransport&) = delete;

  // A write that fails (the browser is gone) is a fault, not an exception: the
  // reader's close follows.
  void Send(std::string message) override;

 private:
  void ReadLoop();

  int m_fd;
  int m_stopWrite = -1;  // written to wake the reader when this object goes
  int m_stopRead = -1;
  PipeHandlers m_handlers;
  std::size_t m_maxMessage;
  std::mutex m_writeMutex;
  std::thread m_reader;
};

}  // namespace tracewell::browser
