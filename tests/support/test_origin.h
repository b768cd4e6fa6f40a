#pragma once
// An origin server of the tests' own on 127.0.0.1, for what a stock server cannot do
// on cue: redirects, chunked and unterminated bodies, stalls, resets, echoes. One
// thread per connection, blocking sockets, keep-alive. Every request head it receives
// is kept, so a test can compare it with what the recorder says it sent.
//
//   GET  /hello          200, text/html; charset=utf-8, "<p>hello</p>"
//   GET  /page           200, text/html, a page that loads /style.css
//   GET  /style.css      200, text/css
//   GET  /redirect       302 to /hello
//   GET  /chunked        200, three chunks, 26 bytes in all
//   GET  /eof            200 without a length, ended by closing
//   GET  /big?N          200, N bytes of 'x'
//   GET  /stall-header   nothing at all, until the client gives up
//   GET  /stall-body     the header and 10 of 100 bytes, then nothing
//   GET  /reset          the header and 10 of 100 bytes, then a reset
//   POST /echo           200, the request body back with its content type
//   POST /count          200, the number of body bytes received, as text
// And what a faulty origin does, on a kept connection:
//   GET  /excess         "hello" with Content-Length 5, and in the same write a second
//                        response nobody asked for ("SMUGGLED")
//   GET  /excess-late    the same, the second response 100 ms later
//   GET  /no-content     204, followed by the same unasked-for response
//   GET  /connection-length   "hello" with "Connection: Content-Length"
//   any  /vanish         reads the request, then closes without an answer
// A HEAD request is answered as GET is, body and all.
//   GET  /etag           200 with ETag "v1" and Cache-Control: no-cache; 304 to a
//                        request with If-None-Match: "v1"
//   GET  a path given to SetFile   200, text/plain, the bytes given
//   any  a path given to SetResponse   that status line and those fields, the body
//   anything else        404

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "proxy/asio.h"

namespace tracewell::testing {

class TestOrigin {
 public:
  TestOrigin();
  ~TestOrigin();
  TestOrigin(const TestOrigin&) = delete;
  TestOrigin& operator=(const TestOrigin&) = delete;

  unsigned short Port() const { return m_port; }
  std::string Url(std::string_view path) const;
  // Serves `bytes` at `path` from now on.
  void SetFile(std::string path, std::string bytes);
  // Answers `path` from now on with `head` (the status line and fields, each ending
  // in CR LF; the length is added) and `body`.
  void SetResponse(std::string path, std::string head, std::string body);
  // The request heads received so far, in order, each ending in an empty line.
  std::vector<std::string> Heads();

 private:
  void Serve(proxy::tcp::socket socket);
  bool Answer(proxy::tcp::socket& socket, const std::string& head, const std::string& body);

  proxy::asio::io_context m_io;
  proxy::tcp::acceptor m_acceptor;
  unsigned short m_port;
  std::atomic<bool> m_stopping{false};
  std::mutex m_mutex;
  std::vector<std::string> m_heads;
  std::map<std::string, std::string> m_files;
  std::map<std::string, std::pair<std::string, std::string>> m_responses;
  std::vector<std::thread> m_threads;
  std::thread m_acceptThread;
};

}  // namespace tracewell::testing
