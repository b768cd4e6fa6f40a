#pragma once
// HTTPS interception: the TLS the proxy speaks on both sides of an intercepted
// tunnel. Toward the client it presents a certificate for the name the client asked
// for, issued by Tracewell's own authority; toward the origin it verifies the origin's
// certificate as a browser would. Hosts named for pass-through keep plain tunnels.

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "proxy/connection_stream.h"
#include "proxy/origin_sessions.h"
#include "tls/certificate_authority.h"
#include "tls/leaf_cache.h"

namespace tracewell::proxy {

struct InterceptionSettings {
  // Where Tracewell's authority is kept (made there on first use).
  std::filesystem::path authorityDirectory;
  // Authorities trusted for origins besides the system's.
  std::vector<std::filesystem::path> upstreamAuthorities;
  bool verifyUpstream = true;
  // Hosts whose tunnels are not intercepted: an exact name, or "*.suffix" for the
  // names below it.
  std::vector<std::string> passThrough;
};

// What the client side's handshake needs to know of its connection.
struct ClientHandshake {
  std::string fallbackName;  // the certificate's name when the client sends none
  std::string failure;       // why no certificate could be made, if so
};

class CInterception {
 public:
  struct Made {
    std::shared_ptr<CInterception> interception;
    std::string error;
  };
  // Loads (or makes) the authority; the error says which file could not be used.
  static Made Make(InterceptionSettings settings);

  bool PassesThrough(std::string_view host) const;

  ssl::context& ClientSide() { return m_clientSide; }
  // `handshake` must outlive the handshake on `tls`.
  static void PrepareClientSide(SSL* tls, ClientHandshake& handshake);

  ssl::context& OriginSide() { return m_originSide; }
  // The name sent to the origin (none for an address) and the one its certificate
  // must be for; a session of the same origin and name resumed when one is kept.
  // False when OpenSSL could not take the name: the handshake must not go on.
  bool PrepareOriginSide(SSL* tls, const std::string& name, const std::string& origin);

  const tls::CCertificateAuthority& Authority() const { return *m_authority; }
  bool VerifiesUpstream() const { return m_settings.verifyUpstream; }

 private:
  CInterception(InterceptionSettings settings, std::unique_ptr<tls::CCertificateAuthority> authority);
  static int SelectCertificate(SSL* tls, int* alert, void* self);

  InterceptionSettings m_settings;
  std::unique_ptr<tls::CCertificateAuthority> m_authority;
  tls::CLeafCache m_leaves;  // of m_authority
  COriginSessions m_originSessions;
  ssl::context m_clientSide{ssl::context::tls_server};
  ssl::context m_originSide{ssl::context::tls_client};
};

}  // namespace tracewell::proxy
