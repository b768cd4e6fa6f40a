#pragma once
// An HTTP origin on 127.0.0.1 for the tests: a fixed set of resources (a page, a
// redirect to it, a form that takes a POST, two update sites' version files, 404 for
// anything else), one request per connection. It serves at most a given number of connections, waits
// for none longer than a few seconds, and stops by itself.

#include <winsock2.h>

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tracewell::win::test {

class CLoopbackOrigin {
 public:
  // Listens on an ephemeral port and serves up to `maxConnections` connections.
  explicit CLoopbackOrigin(int maxConnections);
  ~CLoopbackOrigin();
  CLoopbackOrigin(const CLoopbackOrigin&) = delete;
  CLoopbackOrigin& operator=(const CLoopbackOrigin&) = delete;

  // "http://127.0.0.1:<port>" followed by `path`.
  std::wstring Url(const wchar_t* path) const;
  // The heads of the requests served so far (request line and headers, up to and
  // including the empty line), in order.
  std::vector<std::string> RequestHeads() const;
  // Their bodies, as many bytes as each declared.
  std::vector<std::string> RequestBodies() const;

 private:
  void Serve(int maxConnections);
  void Answer(SOCKET connection);

  SOCKET m_listener = INVALID_SOCKET;
  int m_port = 0;
  std::atomic<int> m_served{0};
  mutable std::mutex m_mutex;
  std::vector<std::string> m_heads;
  std::vector<std::string> m_bodies;
  std::atomic<bool> m_stopping{false};
  std::thread m_thread;
};

// A port on 127.0.0.1 where nothing listens.
int RefusingPort();

}  // namespace tracewell::win::test
