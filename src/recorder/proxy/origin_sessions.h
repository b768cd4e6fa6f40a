#pragma once
// TLS sessions of origins, kept so that the next connection to the same origin, for
// the same name, resumes instead of making a full handshake: a browser opens many
// connections, and each intercepted one needs its own connection to the origin.
// Thread-safe; at most a fixed number of origins (the oldest dropped first).

#include <openssl/ssl.h>

#include <cstddef>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tracewell::proxy {

class COriginSessions {
 public:
  explicit COriginSessions(std::size_t capacity = 1024) : m_capacity(capacity) {}

  // Makes `context` (the origin side's) hand every new session to this store.
  void Attach(SSL_CTX* context);
  // Before the handshake: the session to resume for `key` (the origin's authority and
  // the name its certificate was verified for), if one is kept, and where the
  // connection's own new sessions go.
  void Prepare(SSL* tls, const std::string& key);

 private:
  using Session = std::unique_ptr<SSL_SESSION, decltype(&SSL_SESSION_free)>;
  struct Entry {
    Session session;
    std::list<std::string>::iterator age;
  };
  static int Store(SSL* tls, SSL_SESSION* session);
  void Keep(const std::string& key, Session session);

  std::size_t m_capacity;
  std::mutex m_mutex;
  std::unordered_map<std::string, Entry> m_sessions;
  std::list<std::string> m_ages;  // oldest first
};

}  // namespace tracewell::proxy
