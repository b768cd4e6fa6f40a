#include "proxy/interception.h"

#include <openssl/x509v3.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <stdexcept>

#include "tls/expected_name.h"
#include "tls/openssl_handles.h"

namespace tracewell::proxy {
namespace {

constexpr std::array<unsigned char, 9> kHttp11Alpn = {8, 'h', 't', 't', 'p', '/', '1', '.', '1'};

// Where a connection's ClientHandshake hangs on its TLS state.
int HandshakeIndex() {
  static const int index = SSL_get_ex_new_index(0, nullptr, nullptr, nullptr, nullptr);
  return index;
}

std::string Lowered(std::string_view text) {
  std::string lowered(text);
  std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lowered;
}

// Only HTTP/1.1 is spoken inside a tunnel: a client that offers h2 gets http/1.1.
int SelectHttp11(SSL*, const unsigned char** selected, unsigned char* selectedSize,
                 const unsigned char* offered, unsigned offeredSize, void*) {
  unsigned char* chosen = nullptr;
  if (SSL_select_next_proto(&chosen, selectedSize, kHttp11Alpn.data(), kHttp11Alpn.size(), offered,
                            offeredSize) != OPENSSL_NPN_NEGOTIATED) {
    return SSL_TLSEXT_ERR_NOACK;
  }
  *selected = chosen;
  return SSL_TLSEXT_ERR_OK;
}

bool AddChainCertificate(SSL* tls, X509* certificate) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wold-style-cast"
  return SSL_add1_chain_cert(tls, certificate) == 1;
#pragma GCC diagnostic pop
}

}  // namespace

CInterception::Made CInterception::Make(InterceptionSettings settings) {
  auto loaded = tls::CCertificateAuthority::LoadOrCreate(settings.authorityDirectory);
  if (!loaded.authority) return {nullptr, loaded.error};
  std::shared_ptr<CInterception> interception(
      new CInterception(std::move(settings), std::move(loaded.authority)));
  auto& origin = interception->m_originSide;
  error_code ec;
  origin.set_default_verify_paths(ec);
  if (ec) return {nullptr, "cannot read the system's trusted authorities: " + ec.message()};
  for (const auto& file : interception->m_settings.upstreamAuthorities) {
    if (SSL_CTX_load_verify_locations(origin.native_handle(), file.c_str(), nullptr) != 1) {
      return {nullptr, "cannot use " + file.string() + " as a trusted authority: " +
                           tls::OpenSslErrorText()};
    }
  }
  return {std::move(interception), {}};
}

CInterception::CInterception(InterceptionSettings settings,
                             std::unique_ptr<tls::CCertificateAuthority> authority)
    : m_settings(std::move(settings)), m_authority(std::move(authority)), m_leaves(*m_authority) {
  for (std::string& pattern : m_settings.passThrough) pattern = Lowered(pattern);  // once, not per CONNECT
  SSL_CTX* client = m_clientSide.native_handle();
  SSL_CTX* origin = m_originSide.native_handle();
// OpenSSL's control macros cast in C's way.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wold-style-cast"
  SSL_CTX_set_min_proto_version(client, TLS1_2_VERSION);
  SSL_CTX_set_tlsext_servername_callback(client, &CInterception::SelectCertificate);
  SSL_CTX_set_tlsext_servername_arg(client, this);
  SSL_CTX_set_min_proto_version(origin, TLS1_2_VERSION);
#pragma GCC diagnostic pop
  SSL_CTX_set_alpn_select_cb(client, &SelectHttp11, nullptr);

  SSL_CTX_set_alpn_protos(origin, kHttp11Alpn.data(), kHttp11Alpn.size());
  m_originSessions.Attach(origin);
  m_originSide.set_verify_mode(m_settings.verifyUpstream ? ssl::verify_peer : ssl::verify_none);
}

bool CInterception::PassesThrough(std::string_view host) const {
  const std::string name = Lowered(host);
  return std::any_of(m_settings.passThrough.begin(), m_settings.passThrough.end(),
                     [&](const std::string& wanted) {
                       if (!wanted.starts_with("*.")) return name == wanted;
                       return name.size() > wanted.size() - 1 &&
                              name.ends_with(std::string_view(wanted).substr(1));
                     });
}

void CInterception::PrepareClientSide(SSL* tls, ClientHandshake& handshake) {
  SSL_set_ex_data(tls, HandshakeIndex(), &handshake);
}

bool CInterception::PrepareOriginSide(SSL* tls, const std::string& name, const std::string& origin) {
  m_originSessions.Prepare(tls, origin);
  if (!tls::IsIpLiteral(name)) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wold-style-cast"
    if (SSL_set_tlsext_host_name(tls, name.c_str()) != 1) return false;
#pragma GCC diagnostic pop
  }
  return tls::ExpectName(SSL_get0_param(tls), name);
}

// Called for every ClientHello, with or without a server name in it.
int CInterception::SelectCertificate(SSL* tls, int* alert, void* self) {
  auto& interception = *static_cast<CInterception*>(self);
  auto& handshake = *static_cast<ClientHandshake*>(SSL_get_ex_data(tls, HandshakeIndex()));
  const char* asked = SSL_get_servername(tls, TLSEXT_NAMETYPE_host_name);
  const std::string name = asked != nullptr && *asked != '\0' ? asked : handshake.fallbackName;
  try {
    const std::shared_ptr<X509> leaf = interception.m_leaves.Leaf(name);
    // The authority goes along: a client that trusts it by its key alone (Chromium's
    // --ignore-certificate-errors-spki-list) must find it in what the proxy presents.
    if (SSL_use_certificate(tls, leaf.get()) == 1 &&
        SSL_use_PrivateKey(tls, interception.Authority().LeafKey()) == 1 &&
        AddChainCertificate(tls, interception.Authority().Certificate())) {
      return SSL_TLSEXT_ERR_OK;
    }
    handshake.failure = "cannot use the certificate for " + name + ": " + tls::OpenSslErrorText();
  } catch (const std::exception& error) {  // an unusable name, or OpenSSL failed
    handshake.failure = "no certificate for '" + name + "': " + error.what();
  }
  *alert = SSL_AD_INTERNAL_ERROR;
  return SSL_TLSEXT_ERR_ALERT_FATAL;
}

}  // namespace tracewell::proxy
