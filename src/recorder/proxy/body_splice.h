#pragma once
// A response body of known length moved from the origin's connection to the client's
// through a pipe with splice(2): the kernel hands the pages on and no byte is copied
// into the proxy. Only for plain TCP on both sides and only when nothing in the proxy
// needs the bytes (no response store keeps them); otherwise the body goes through
// the buffer as before.

#include <cstdint>
#include <optional>

#include "proxy/asio.h"
#include "proxy/timed_stream.h"

namespace tracewell::proxy {

// The two ends of a pipe, closed with it.
class CSplicePipe {
 public:
  // None when the system gives no pipe (no descriptors left): the caller copies instead.
  static std::optional<CSplicePipe> Open();
  CSplicePipe(CSplicePipe&& other) noexcept;
  CSplicePipe& operator=(CSplicePipe&& other) noexcept;
  ~CSplicePipe();

  int ReadEnd() const { return m_read; }
  int WriteEnd() const { return m_write; }

 private:
  CSplicePipe(int read, int write) : m_read(read), m_write(write) {}
  int m_read = -1;
  int m_write = -1;
};

// splice(2) into a socket whose peer has gone raises SIGPIPE, which would end the
// process; a thread that splices blocks it first, and the step fails with EPIPE.
void BlockBrokenPipeSignal();

struct SpliceResult {
  std::uint64_t moved = 0;  // bytes the client's connection took
  error_code upstream;      // the origin's connection failed or ended early
  error_code client;        // the client's connection failed
};

// Moves `length` bytes from `from` to `to`, each wait within `timeout`. Bytes read
// before the origin failed still go to the client; when the client fails, what is
// left in the pipe goes with it.
Task<SpliceResult> SpliceBody(CSplicePipe& pipe, CTimedStream& from, CTimedStream& to, std::uint64_t length,
                              CTimedStream::Clock::duration timeout);

}  // namespace tracewell::proxy
