#include "proxy/origin_sessions.h"

namespace tracewell::proxy {
namespace {

void FreeKey(void*, void* key, CRYPTO_EX_DATA*, int, long, void*) {
  delete static_cast<std::string*>(key);
}

// A connection's key, owned by its TLS state.
int KeyIndex() {
  static const int index = SSL_get_ex_new_index(0, nullptr, nullptr, nullptr, &FreeKey);
  return index;
}

// The store a context hands its sessions to.
int StoreIndex() {
  static const int index = SSL_CTX_get_ex_new_index(0, nullptr, nullptr, nullptr, nullptr);
  return index;
}

}  // namespace

void COriginSessions::Attach(SSL_CTX* context) {
  SSL_CTX_set_ex_data(context, StoreIndex(), this);
  SSL_CTX_set_session_cache_mode(context, SSL_SESS_CACHE_CLIENT | SSL_SESS_CACHE_NO_INTERNAL_STORE);
  SSL_CTX_sess_set_new_cb(context, &COriginSessions::Store);
}

void COriginSessions::Prepare(SSL* tls, const std::string& key) {
  SSL_set_ex_data(tls, KeyIndex(), new std::string(key));
  Session session(nullptr, &SSL_SESSION_free);
  {
    const std::lock_guard lock(m_mutex);
    const auto found = m_sessions.find(key);
    if (found == m_sessions.end()) return;
    if (!SSL_SESSION_is_resumable(found->second.session.get())) {  // its connection broke
      m_ages.erase(found->second.age);
      m_sessions.erase(found);
      return;
    }
    // A TLS 1.3 ticket is meant for one resumption; the origin sends a new one.
    if (SSL_SESSION_get_protocol_version(found->second.session.get()) >= TLS1_3_VERSION) {
      session = std::move(found->second.session);
      m_ages.erase(found->second.age);
      m_sessions.erase(found);
    } else {
      SSL_SESSION_up_ref(found->second.session.get());
      session.reset(found->second.session.get());
    }
  }
  SSL_set_session(tls, session.get());
}

int COriginSessions::Store(SSL* tls, SSL_SESSION* session) {
  auto* self = static_cast<COriginSessions*>(SSL_CTX_get_ex_data(SSL_get_SSL_CTX(tls), StoreIndex()));
  const auto* key = static_cast<const std::string*>(SSL_get_ex_data(tls, KeyIndex()));
  if (self == nullptr || key == nullptr || !SSL_SESSION_is_resumable(session)) return 0;
  self->Keep(*key, Session(session, &SSL_SESSION_free));
  return 1;  // the store owns the reference now
}

void COriginSessions::Keep(const std::string& key, Session session) {
  const std::lock_guard lock(m_mutex);
  if (const auto found = m_sessions.find(key); found != m_sessions.end()) {
    found->second.session = std::move(session);
    return;
  }
  if (m_sessions.size() >= m_capacity) {
    m_sessions.erase(m_ages.front());
    m_ages.pop_front();
  }
  m_ages.push_back(key);
  m_sessions.emplace(key, Entry{std::move(session), std::prev(m_ages.end())});
}

}  // namespace tracewell::proxy
