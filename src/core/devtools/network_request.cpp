#include "devtools/network_request.h"

#include <algorithm>
#include <limits>

#include "devtools/header_blocks.h"
#include "http_text/network_errors.h"
#include "text/assert.h"
#include "text/utf8.h"

namespace tracewell::devtools {
namespace {

// A browser follows at most 20 redirects, each hop with one ExtraInfo event of each
// kind: more than this is not a browser telling the truth.
constexpr std::size_t kMostWaitingExtras = 64;

std::uint32_t CountOf(std::uint64_t bytes) {
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(bytes, std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

CNetworkRequest::CNetworkRequest(std::shared_ptr<CHttpHandlerAPP> app,
                                 std::shared_ptr<CExchangeTarget> target,
                                 RequestWillBeSent first)
    : m_app(std::move(app)), m_target(std::move(target)) {
  m_hops.push_back(HopOf(first));
  if (first.postData) {
    m_postData = std::move(*first.postData);
  } else {
    m_waitsForPostData = first.hasPostData;
  }
  Pump();
}

CNetworkRequest::~CNetworkRequest() = default;

CNetworkRequest::Hop CNetworkRequest::HopOf(RequestWillBeSent& event) {
  Hop hop;
  hop.url = std::move(event.url);
  hop.method = std::move(event.method);
  hop.requestHeaders = std::move(event.headers);
  return hop;
}

void CNetworkRequest::SetPostData(std::string body) {
  m_postData = std::move(body);
  m_waitsForPostData = false;
  Pump();
}

void CNetworkRequest::SetResponseBody(std::optional<std::string> body) {
  m_responseBody = std::move(body);
  m_waitsForResponseBody = false;
  Pump();
}

void CNetworkRequest::OnRedirect(RequestWillBeSent next) {
  TRACEWELL_ASSERT(next.redirectResponse);
  SetResponse(Current(), std::move(*next.redirectResponse), next.redirectHasExtraInfo);
  m_hops.push_back(HopOf(next));
  Pump();
}

bool CNetworkRequest::OnRequestExtraInfo(RequestExtraInfo extra) {
  if (m_sentHeaders.size() >= kMostWaitingExtras) return false;
  m_sentHeaders.push_back(std::move(extra.headers));
  Pump();
  return true;
}

void CNetworkRequest::OnResponse(ResponseReceived received) {
  SetResponse(Current(), std::move(received.response), received.hasExtraInfo);
  Pump();
}

bool CNetworkRequest::OnResponseExtraInfo(ResponseExtraInfo extra) {
  if (m_receivedExtras.size() >= kMostWaitingExtras) return false;
  m_receivedExtras.push_back(std::move(extra));
  Pump();
  return true;
}

void CNetworkRequest::OnServedFromCache() { Current().servedFromCache = true; }

void CNetworkRequest::OnData(std::uint64_t bytes) { Current().bodyBytes += bytes; }

void CNetworkRequest::OnFinished(const LoadingFinished& finished, bool askBody) {
  if (Ended()) return;
  m_end = finished;
  m_waitsForResponseBody = askBody && m_app != nullptr && MayHaveBody();
  Pump();
}

// HEAD, 1xx, 204 and 304 responses have no body (a 304 answered from the cache is the
// cached response, and has).
bool CNetworkRequest::MayHaveBody() const {
  const Hop& last = m_hops.back();
  if (last.method == "HEAD") return false;
  if (!last.response) return true;
  const int status = last.response->status;
  return status >= 200 && status != 204 && status != 304;
}

void CNetworkRequest::OnFailed(const LoadingFailed& failed) {
  if (Ended()) return;
  m_end = failed;
  Pump();
}

void CNetworkRequest::StopWaiting() {
  m_stopWaiting = true;
  Pump();
}

void CNetworkRequest::Abandon() {
  m_stopWaiting = true;
  m_waitsForPostData = false;
  m_waitsForResponseBody = false;
  if (!Ended()) m_end = LoadingFailed{"net::ERR_ABORTED", true};
  Pump();
}

// A response from a cache had no exchange on the network, so no ExtraInfo events
// come for it, whatever hasExtraInfo says.
void CNetworkRequest::SetResponse(Hop& hop, ResponseFacts response, bool hasExtraInfo) {
  if (hop.response) return;  // a second response for one hop changes nothing
  hop.expectsExtraInfo = hasExtraInfo && !response.fromCache && !hop.servedFromCache;
  hop.response = std::move(response);
  if (hop.expectsExtraInfo) hop.extraSlot = m_nextSlot++;
}

bool CNetworkRequest::HasExtraInfo(const Hop& hop) const {
  return hop.extraSlot < m_sentHeaders.size() && hop.extraSlot < m_receivedExtras.size();
}

bool CNetworkRequest::MayReport(const Hop& hop) const {
  return !hop.expectsExtraInfo || HasExtraInfo(hop) || m_stopWaiting;
}

// A finished load reports its end once its response is known; a failed one may
// have had none.
bool CNetworkRequest::MayEnd(const Hop& hop) const {
  return hop.response || !std::holds_alternative<LoadingFinished>(m_end) || m_stopWaiting;
}

bool CNetworkRequest::WaitsForLateEvents() const {
  if (!m_started || m_done || m_hops.empty()) return false;
  const Hop& front = m_hops.front();
  if (m_hops.size() == 1 && Ended() && !MayEnd(front)) return true;
  const bool complete = m_hops.size() > 1 || Ended();
  return complete && !m_frontReported && front.response && !MayReport(front);
}

void CNetworkRequest::Pump() {
  if (m_done) return;
  if (!m_started) {
    if (m_waitsForPostData) return;
    Start();
  }
  while (!m_hops.empty()) {
    const Hop& hop = m_hops.front();
    const bool redirected = m_hops.size() > 1;
    if (hop.response && !m_frontReported) {
      if (!MayReport(hop)) return;
      ReportExchange(hop, redirected);
      m_frontReported = true;
    }
    if (redirected) {
      m_target->ReportRedirecting(m_hops[1].url);
      NextHop();
      continue;
    }
    if (Ended() && MayEnd(hop) && !m_waitsForResponseBody) ReportEnd();
    return;
  }
}

void CNetworkRequest::Start() {
  m_started = true;
  const Hop& first = m_hops.front();
  m_client.emplace(first.method, std::move(m_postData));
  m_binding = std::make_unique<CExchangeBinding>(m_app, m_target, *m_client);
  m_binding->Start(FromUtf8(first.url));
}

// The hop's reports up to its response. A response that a cache answered alone has
// no server address and no request sent; a revalidated one ("304" on the wire,
// the cached response handed on) was sent and came from the cache.
void CNetworkRequest::ReportExchange(const Hop& hop, bool redirected) {
  const ResponseFacts& response = *hop.response;
  const std::size_t at = hop.extraSlot;
  const bool withExtras = hop.expectsExtraInfo && HasExtraInfo(hop);
  const HeaderFields* sentHeaders = withExtras && m_sentHeaders[at] ? &*m_sentHeaders[at] : nullptr;
  const ResponseExtraInfo* received = withExtras ? &m_receivedExtras[at] : nullptr;

  const bool cacheAlone = response.fromCache || hop.servedFromCache;
  const bool revalidated = received != nullptr && received->statusCode == 304 && response.status != 304;
  m_target->SetFromCache(cacheAlone || revalidated);
  if (!cacheAlone) {
    if (!response.remoteIpAddress.empty()) {
      std::string_view address = response.remoteIpAddress;
      // An IPv6 address as the proxy reports one: without brackets.
      if (address.size() > 2 && address.front() == '[' && address.back() == ']') {
        address = address.substr(1, address.size() - 2);
      }
      m_target->ReportConnecting(address);
    }
    m_target->ReportSendingRequest(RequestBlock(hop.method, hop.url, response.protocol,
                                                sentHeaders ? *sentHeaders : hop.requestHeaders));
  }

  const HeaderFields& headers = received && received->headers ? *received->headers : response.headers;
  std::string block;
  if (received && received->headersText && !received->headersText->empty()) {
    block = *received->headersText;
  } else {
    const int status = received && received->statusCode ? *received->statusCode : response.status;
    block = ResponseBlock(response.protocol, status,
                          status == response.status ? response.statusText : std::string_view(),
                          headers);
  }
  std::optional<std::string> contentType;
  if (!redirected) {
    contentType = HeaderValue(headers, "Content-Type");
    if (!contentType && !response.mimeType.empty()) contentType = response.mimeType;
  }
  m_target->ReportResponse(response.status, std::move(block), std::move(contentType),
                           HeaderValue(headers, "Content-Length"));
}

void CNetworkRequest::ReportEnd() {
  const Hop& hop = m_hops.front();
  if (const auto* finished = std::get_if<LoadingFinished>(&m_end)) {
    std::uint64_t size = hop.bodyBytes;
    // Without data events, the bytes on the wire after the response's head.
    if (size == 0 && finished->encodedDataLength && hop.response) {
      size = static_cast<std::uint64_t>(std::max(0.0, *finished->encodedDataLength - hop.response->headerBytes));
    }
    // A browser answers with an empty body where it kept no bytes (a picture it could
    // not decode): after bytes came, that is no body rather than an empty one.
    if (m_responseBody && (!m_responseBody->empty() || size == 0)) {
      m_binding->KeepResponseBody(*std::move(m_responseBody));
    }
    m_target->FinishCounted(CountOf(size));
  } else {
    const auto& failed = std::get<LoadingFailed>(m_end);
    const auto number = failed.canceled ? std::nullopt : NetworkErrorNumber(failed.errorText);
    if (number) {
      m_target->Fail(*number);
    } else {
      m_binding->Abort();
    }
  }
  m_binding->End();
  m_done = true;
}

void CNetworkRequest::NextHop() {
  m_hops.pop_front();
  m_frontReported = false;
}

}  // namespace tracewell::devtools
