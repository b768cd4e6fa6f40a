#include "support/test_origin.h"

#include <chrono>
#include <optional>

namespace tracewell::testing {

using namespace proxy;

namespace {

std::string Response(std::string_view status, std::string_view type, std::string_view body) {
  return "HTTP/1.1 " + std::string(status) + "\r\nContent-Type: " + std::string(type) +
         "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + std::string(body);
}

std::size_t ContentLength(const std::string& head) {
  const auto at = head.find("Content-Length: ");
  return at == std::string::npos ? 0 : std::stoul(head.substr(at + 16));
}

}  // namespace

TestOrigin::TestOrigin()
    : m_acceptor(m_io, tcp::endpoint(asio::ip::address_v4::loopback(), 0)),
      m_port(m_acceptor.local_endpoint().port()) {
  m_acceptThread = std::thread([this] {
    for (;;) {
      error_code ec;
      tcp::socket socket(m_io);
      m_acceptor.accept(socket, ec);
      if (m_stopping || ec) return;
      const std::lock_guard lock(m_mutex);
      m_threads.emplace_back([this, s = std::move(socket)]() mutable { Serve(std::move(s)); });
    }
  });
}

TestOrigin::~TestOrigin() {
  m_stopping = true;
  error_code ignored;
  // Wake the accept call with a connection of our own, then let the handlers end:
  // every one of them times out by itself.
  tcp::socket wake(m_io);
  wake.connect(m_acceptor.local_endpoint(), ignored);
  m_acceptThread.join();
  for (auto& thread : m_threads) thread.join();
}

std::string TestOrigin::Url(std::string_view path) const {
  return "http://127.0.0.1:" + std::to_string(m_port) + std::string(path);
}

void TestOrigin::SetFile(std::string path, std::string bytes) {
  const std::lock_guard lock(m_mutex);
  m_files[std::move(path)] = std::move(bytes);
}

void TestOrigin::SetResponse(std::string path, std::string head, std::string body) {
  const std::lock_guard lock(m_mutex);
  m_responses[std::move(path)] = {std::move(head), std::move(body)};
}

std::vector<std::string> TestOrigin::Heads() {
  const std::lock_guard lock(m_mutex);
  return m_heads;
}

void TestOrigin::Serve(tcp::socket socket) {
  // A quiet connection ends after a second, so that the destructor never waits long.
  const timeval timeout{1, 0};
  setsockopt(socket.native_handle(), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  std::string pending;
  char buffer[16384];
  for (;;) {
    const auto end = pending.find("\r\n\r\n");
    if (end != std::string::npos) {
      const std::string head = pending.substr(0, end + 4);
      const std::size_t length = ContentLength(head);
      if (pending.size() - head.size() >= length) {
        const std::string body = pending.substr(head.size(), length);
        pending.erase(0, head.size() + length);
        {
          const std::lock_guard lock(m_mutex);
          m_heads.push_back(head);
        }
        if (!Answer(socket, head, body)) return;
        continue;
      }
    }
    const ssize_t got = ::recv(socket.native_handle(), buffer, sizeof buffer, 0);
    if (got <= 0 || m_stopping) return;
    pending.append(buffer, static_cast<std::size_t>(got));
  }
}

bool TestOrigin::Answer(tcp::socket& socket, const std::string& head, const std::string& body) {
  const std::size_t targetStart = head.find(' ') + 1;
  const std::string target = head.substr(targetStart, head.find(' ', targetStart) - targetStart);
  const std::string path = target.substr(0, target.find('?'));
  const std::string query = target.size() > path.size() ? target.substr(path.size() + 1) : "";
  error_code ec;
  auto send = [&](std::string_view bytes) { asio::write(socket, asio::buffer(bytes), ec); };
  auto stall = [&] { std::this_thread::sleep_for(std::chrono::milliseconds(3000)); };
  std::optional<std::string> file;
  std::optional<std::pair<std::string, std::string>> response;
  {
    const std::lock_guard lock(m_mutex);
    if (const auto it = m_files.find(path); it != m_files.end()) file = it->second;
    if (const auto it = m_responses.find(path); it != m_responses.end()) response = it->second;
  }
  if (response) {
    send(response->first + "Content-Length: " + std::to_string(response->second.size()) +
         "\r\n\r\n" + response->second);
  } else if (file) {
    send(Response("200 OK", "text/plain", *file));
  } else if (path == "/etag") {
    if (head.find("If-None-Match: \"v1\"") != std::string::npos) {
      send("HTTP/1.1 304 Not Modified\r\nETag: \"v1\"\r\nCache-Control: no-cache\r\n\r\n");
    } else {
      send("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nETag: \"v1\"\r\n"
           "Cache-Control: no-cache\r\nContent-Length: 7\r\n\r\ntagged\n");
    }
  } else if (path == "/hello") {
    send(Response("200 OK", "text/html; charset=utf-8", "<p>hello</p>"));
  } else if (path == "/page") {
    send(Response("200 OK", "text/html",
                  "<!doctype html><html><head><title>page</title>"
                  "<link rel=\"stylesheet\" href=\"/style.css\"></head><body><p>styled</p></body></html>"));
  } else if (path == "/style.css") {
    send(Response("200 OK", "text/css", "p { color: teal }\n"));
  } else if (path == "/redirect") {
    send("HTTP/1.1 302 Found\r\nLocation: /hello\r\nContent-Length: 0\r\n\r\n");
  } else if (path == "/chunked") {
    send("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nTransfer-Encoding: chunked\r\n\r\n"
         "a\r\nabcdefghij\r\n6\r\nklmnop\r\na\r\nqrstuvwxyz\r\n0\r\n\r\n");
  } else if (path == "/eof") {
    send("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nConnection: close\r\n\r\nuntil the end");
    return false;
  } else if (path == "/big") {
    send(Response("200 OK", "application/octet-stream", std::string(std::stoul(query), 'x')));
  } else if (path == "/short" || path == "/short-stall") {  // names twice the body it sends
    const std::size_t size = std::stoul(query);
    send("HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: " +
         std::to_string(2 * size) + "\r\n\r\n" + std::string(size, 'x'));
    if (path == "/short-stall") stall();
    return false;
  } else if (path == "/stall-header") {
    stall();
    return false;
  } else if (path == "/stall-body" || path == "/reset") {
    send("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 100\r\n\r\n0123456789");
    if (path == "/reset") {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      socket.set_option(asio::socket_base::linger(true, 0), ec);
      socket.close(ec);  // sends a reset (a destructor would clear the linger first)
    } else {
      stall();
    }
    return false;
  } else if (path == "/excess" || path == "/excess-late" || path == "/no-content") {
    constexpr std::string_view kUnasked = "HTTP/1.1 200 OK\r\nContent-Length: 8\r\n\r\nSMUGGLED";
    const std::string first = path == "/no-content" ? "HTTP/1.1 204 No Content\r\n\r\n"
                                                    : Response("200 OK", "text/plain", "hello");
    if (path == "/excess-late") {
      send(first);
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      send(kUnasked);
    } else {
      send(first + std::string(kUnasked));
    }
  } else if (path == "/connection-length") {
    send("HTTP/1.1 200 OK\r\nConnection: Content-Length\r\nContent-Length: 5\r\n\r\nhello");
  } else if (path == "/vanish") {
    return false;
  } else if (path == "/count") {
    send(Response("200 OK", "text/plain", std::to_string(body.size())));
  } else if (path == "/echo") {
    const auto typeAt = head.find("Content-Type: ");
    const std::string type =
        typeAt == std::string::npos ? "text/plain" : head.substr(typeAt + 14, head.find("\r\n", typeAt) - typeAt - 14);
    send(Response("200 OK", type, body));
  } else {
    send(Response("404 Not Found", "text/plain", "no such page"));
  }
  return !ec;
}

}  // namespace tracewell::testing
