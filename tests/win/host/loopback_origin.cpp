#include "loopback_origin.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "origin_resources.h"

namespace tracewell::win::test {
namespace {

constexpr int kWaitSeconds = 10;
constexpr std::size_t kLargestRequest = 64 * 1024;

sockaddr_in Loopback(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<u_short>(port));
  return address;
}

int PortOf(SOCKET socket) {
  sockaddr_in address{};
  int length = sizeof(address);
  getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length);
  return ntohs(address.sin_port);
}

bool Readable(SOCKET socket, int seconds) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(socket, &set);
  timeval wait{seconds, 0};
  return select(0, &set, nullptr, nullptr, &wait) == 1;
}

// The Content-Length the head declares; 0 without one.
std::size_t DeclaredLength(std::string_view head) {
  const std::size_t at = head.find("\r\nContent-Length:");
  if (at == std::string_view::npos) return 0;
  return std::strtoul(std::string(head.substr(at + 17, 12)).c_str(), nullptr, 10);
}

// The request: its head up to the empty line, then as many bytes as it declares.
std::string ReadRequest(SOCKET connection) {
  std::string request;
  char buffer[4096];
  auto complete = [&] {
    const std::size_t end = request.find("\r\n\r\n");
    return end != std::string::npos && request.size() >= end + 4 + DeclaredLength(request.substr(0, end + 2));
  };
  while (!complete() && request.size() < kLargestRequest && Readable(connection, kWaitSeconds)) {
    const int got = recv(connection, buffer, sizeof(buffer), 0);
    if (got <= 0) break;
    request.append(buffer, static_cast<std::size_t>(got));
  }
  return request;
}

// The whole response, by method and path; a query after the path does not matter.
std::string ResponseFor(std::string_view head) {
  const testing::OriginResource* found = &testing::kNotFoundResource;
  for (const testing::OriginResource& resource : testing::kOriginResources) {
    const std::string start = std::string(resource.method) + " " + std::string(resource.path);
    if (head.starts_with(start) && head.size() > start.size() && (head[start.size()] == ' ' || head[start.size()] == '?')) {
      found = &resource;
      break;
    }
  }
  return std::string(found->head) + "Content-Length: " + std::to_string(found->body.size()) + "\r\n\r\n" +
         std::string(found->body);
}

class CWinsock {
 public:
  CWinsock() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
  }
  ~CWinsock() { WSACleanup(); }
};

}  // namespace

CLoopbackOrigin::CLoopbackOrigin(int maxConnections) {
  static CWinsock winsock;
  m_listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  const sockaddr_in address = Loopback(0);
  bind(m_listener, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
  listen(m_listener, 8);
  m_port = PortOf(m_listener);
  m_thread = std::thread([this, maxConnections] { Serve(maxConnections); });
}

CLoopbackOrigin::~CLoopbackOrigin() {
  m_stopping = true;
  m_thread.join();
  closesocket(m_listener);
}

std::wstring CLoopbackOrigin::Url(const wchar_t* path) const {
  return L"http://127.0.0.1:" + std::to_wstring(m_port) + path;
}

void CLoopbackOrigin::Serve(int maxConnections) {
  while (!m_stopping && m_served < maxConnections) {
    if (!Readable(m_listener, 1)) continue;
    const SOCKET connection = accept(m_listener, nullptr, nullptr);
    if (connection == INVALID_SOCKET) break;
    Answer(connection);
    closesocket(connection);
    ++m_served;
  }
}

std::vector<std::string> CLoopbackOrigin::RequestHeads() const {
  const std::lock_guard lock(m_mutex);
  return m_heads;
}

std::vector<std::string> CLoopbackOrigin::RequestBodies() const {
  const std::lock_guard lock(m_mutex);
  return m_bodies;
}

void CLoopbackOrigin::Answer(SOCKET connection) {
  const std::string request = ReadRequest(connection);
  const std::size_t headEnd = std::min(request.size(), request.find("\r\n\r\n") + 4);
  const std::string head = request.substr(0, headEnd);
  {
    const std::lock_guard lock(m_mutex);
    m_heads.push_back(head);
    m_bodies.push_back(request.substr(headEnd));
  }
  const std::string response = ResponseFor(head);
  send(connection, response.data(), static_cast<int>(response.size()), 0);
  shutdown(connection, SD_SEND);
}

int RefusingPort() {
  const SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  const sockaddr_in address = Loopback(0);
  bind(probe, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
  const int port = PortOf(probe);
  closesocket(probe);  // bound, never listened: connections there are refused
  return port;
}

}  // namespace tracewell::win::test
