#include "devtools/network_layer.h"

#include <functional>
#include <utility>

#include "devtools/header_blocks.h"
#include "text/base64.h"

namespace tracewell::devtools {
namespace {

// ExtraInfo events kept for requests not yet seen; beyond this the oldest go (a
// request of a target the program never attached to never claims them).
constexpr std::size_t kMostEarlyRequests = 1024;
// ExtraInfo events kept for one request not yet seen: more than a redirect chain has.
constexpr std::size_t kMostEarlyExtras = 64;

std::string KeyOf(std::string_view sessionId, std::string_view requestId) {
  std::string key;
  key.reserve(sessionId.size() + 1 + requestId.size());
  key.append(sessionId).append(1, '\x1f').append(requestId);
  return key;
}

bool SessionOwns(std::string_view key, std::string_view sessionId) {
  return key.size() > sessionId.size() && key.starts_with(sessionId) && key[sessionId.size()] == '\x1f';
}

// The scheme of a URL the capture registers for, or empty.
std::u16string_view CapturedScheme(std::string_view url) {
  const std::string_view scheme = SplitUrl(url).scheme;
  if (scheme == "http") return u"http";
  if (scheme == "https") return u"https";
  return {};
}

// The body an answer carries in `field`, text or (with base64Encoded) bytes; none
// when the answer is an error, and a fault named after `method` when it is malformed.
std::optional<std::string> BodyOfReply(const DevToolsReply& reply, std::string_view method,
                                       std::string_view field, const std::function<void(std::string)>& fault) {
  if (reply.error != nullptr) return std::nullopt;
  const auto data = reply.result.find(field);
  const auto encoded = reply.result.find("base64Encoded");
  const bool base64 = encoded != reply.result.end() && encoded->is_boolean() && encoded->get<bool>();
  if (data == reply.result.end() || !data->is_string()) {
    fault(std::string(method) + ": " + std::string(field) + " is not a string");
    return std::nullopt;
  }
  if (!base64) return data->get<std::string>();
  auto decoded = DecodeBase64(data->get_ref<const std::string&>());
  if (!decoded) fault(std::string(method) + ": " + std::string(field) + " is not base64");
  return decoded;
}

}  // namespace

CDevToolsNetworkLayer::CDevToolsNetworkLayer(CDevToolsClient& client, CSchemeBindings& bindings,
                                             ICacheStore* cacheStore)
    : m_client(client), m_bindings(bindings), m_cacheStore(cacheStore) {}

CDevToolsNetworkLayer::~CDevToolsNetworkLayer() {
  *m_self = nullptr;
  OnBrowserClosed();
}

void CDevToolsNetworkLayer::OnEvent(const DevToolsMessage& event) {
  if (!event.method.starts_with("Network.")) return;
  auto read = ReadNetworkEvent(event.method, event.params);
  if (const auto* problem = std::get_if<std::string>(&read)) {
    Fault(*problem);
    return;
  }
  ++m_events;
  if (auto* networkEvent = std::get_if<NetworkEvent>(&read)) {
    const std::string key = KeyOf(event.sessionId, networkEvent->requestId);
    Apply(key, event.sessionId, std::move(*networkEvent));
    Settle(key);
  }
  ExpireWaits();
}

void CDevToolsNetworkLayer::Apply(const std::string& key, const std::string& sessionId,
                                  NetworkEvent event) {
  const auto found = m_requests.find(key);
  if (auto* sent = std::get_if<RequestWillBeSent>(&event.body)) {
    if (found != m_requests.end() && sent->redirectResponse) {
      found->second->OnRedirect(std::move(*sent));
      return;
    }
    // A new request, or the same id starting over: the old one ends here.
    if (found != m_requests.end()) {
      found->second->Abandon();
      m_requests.erase(found);
    }
    Begin(key, sessionId, event.requestId, std::move(*sent));
    return;
  }
  if (found == m_requests.end()) {
    KeepEarly(key, event.body);
    return;
  }
  CNetworkRequest& request = *found->second;
  bool accepted = true;
  std::visit(
      [&](auto& body) {
        using Body = std::decay_t<decltype(body)>;
        if constexpr (std::is_same_v<Body, RequestExtraInfo>) {
          accepted = request.OnRequestExtraInfo(std::move(body));
        } else if constexpr (std::is_same_v<Body, ResponseReceived>) {
          request.OnResponse(std::move(body));
        } else if constexpr (std::is_same_v<Body, ResponseExtraInfo>) {
          accepted = request.OnResponseExtraInfo(std::move(body));
        } else if constexpr (std::is_same_v<Body, ServedFromCache>) {
          request.OnServedFromCache();
        } else if constexpr (std::is_same_v<Body, DataReceived>) {
          request.OnData(body.dataLength);
        } else if constexpr (std::is_same_v<Body, LoadingFinished>) {
          request.OnFinished(body, m_keptBodyBytes < m_mostBodyBytes);
          if (request.WaitsForResponseBody()) {
            Ask("Network.getResponseBody", key, sessionId, event.requestId, &CNetworkRequest::WaitsForResponseBody,
                &CDevToolsNetworkLayer::AnswerResponseBody);
          }
        } else if constexpr (std::is_same_v<Body, LoadingFailed>) {
          request.OnFailed(body);
        }
      },
      event.body);
  if (!accepted) Fault("more ExtraInfo events for request " + event.requestId + " than it has hops");
}

void CDevToolsNetworkLayer::Begin(const std::string& key, const std::string& sessionId,
                                  const std::string& requestId, RequestWillBeSent event) {
  const std::u16string_view scheme = CapturedScheme(event.url);
  if (scheme.empty()) return;
  auto target = std::make_shared<CExchangeTarget>();
  auto request = std::make_unique<CNetworkRequest>(m_bindings.NewBinding(scheme, target, m_cacheStore),
                                                   std::move(target), std::move(event));
  if (const auto early = m_early.find(key); early != m_early.end()) {
    for (auto& sent : early->second.sent) request->OnRequestExtraInfo(std::move(sent));
    for (auto& received : early->second.received) request->OnResponseExtraInfo(std::move(received));
    m_early.erase(early);
  }
  const bool asks = request->WaitsForPostData();
  m_requests[key] = std::move(request);
  if (asks) {
    Ask("Network.getRequestPostData", key, sessionId, requestId, &CNetworkRequest::WaitsForPostData,
        &CDevToolsNetworkLayer::AnswerPostData);
  }
}

void CDevToolsNetworkLayer::KeepEarly(const std::string& key, NetworkEventBody& body) {
  auto* sent = std::get_if<RequestExtraInfo>(&body);
  auto* received = std::get_if<ResponseExtraInfo>(&body);
  if (sent == nullptr && received == nullptr) return;  // a request never seen starting
  if (!m_early.contains(key)) {
    while (m_earlyOrder.size() >= kMostEarlyRequests) {
      m_early.erase(m_earlyOrder.front());
      m_earlyOrder.pop_front();
    }
    m_earlyOrder.push_back(key);
  }
  EarlyExtras& early = m_early[key];
  if (early.sent.size() + early.received.size() >= kMostEarlyExtras) {
    Fault("too many ExtraInfo events before their request");
    return;
  }
  if (sent != nullptr) early.sent.push_back(std::move(*sent));
  if (received != nullptr) early.received.push_back(std::move(*received));
}

void CDevToolsNetworkLayer::Ask(const char* method, const std::string& key, const std::string& sessionId,
                                const std::string& requestId, bool (CNetworkRequest::*waits)() const,
                                void (CDevToolsNetworkLayer::*answer)(CNetworkRequest&, const DevToolsReply&)) {
  std::weak_ptr<CDevToolsNetworkLayer*> self = m_self;
  m_client.Send(method, {{"requestId", requestId}}, sessionId, [self, key, waits, answer](const DevToolsReply& reply) {
    const auto layer = self.lock();
    if (!layer || *layer == nullptr) return;
    CDevToolsNetworkLayer& me = **layer;
    const auto found = me.m_requests.find(key);
    if (found == me.m_requests.end() || !((*found->second).*waits)()) return;
    (me.*answer)(*found->second, reply);
    me.Settle(key);
  });
}

// No body for the record when the browser has none to give.
void CDevToolsNetworkLayer::AnswerPostData(CNetworkRequest& request, const DevToolsReply& reply) {
  auto body = BodyOfReply(reply, "Network.getRequestPostData", "postData",
                          [this](std::string problem) { Fault(problem); });
  request.SetPostData(body ? std::move(*body) : std::string());
}

void CDevToolsNetworkLayer::AnswerResponseBody(CNetworkRequest& request, const DevToolsReply& reply) {
  request.SetResponseBody(KeptBody(reply));
}

std::optional<std::string> CDevToolsNetworkLayer::KeptBody(const DevToolsReply& reply) {
  auto body = BodyOfReply(reply, "Network.getResponseBody", "body",
                          [this](std::string problem) { Fault(problem); });
  if (!body) return std::nullopt;
  if (body->size() > m_mostBodyBytes - m_keptBodyBytes) {
    if (!std::exchange(m_saidBodiesFull, true)) {
      Fault("response bodies beyond " + std::to_string(m_mostBodyBytes / (1024 * 1024)) +
            " MB in one browser run are not kept");
    }
    m_keptBodyBytes = m_mostBodyBytes;
    return std::nullopt;
  }
  m_keptBodyBytes += body->size();
  return body;
}

void CDevToolsNetworkLayer::Settle(const std::string& key) {
  const auto found = m_requests.find(key);
  if (found == m_requests.end()) return;
  if (found->second->Done()) {
    m_requests.erase(found);
    return;
  }
  if (found->second->WaitsForLateEvents() && m_counted.insert(key).second) {
    m_waits.push_back({m_events + kLateEventPatience, key});
  }
}

void CDevToolsNetworkLayer::ExpireWaits() {
  while (!m_waits.empty() && m_waits.front().until <= m_events) {
    const std::string key = std::move(m_waits.front().key);
    m_waits.pop_front();
    m_counted.erase(key);
    const auto found = m_requests.find(key);
    if (found == m_requests.end()) continue;
    found->second->StopWaiting();
    Settle(key);
  }
}

void CDevToolsNetworkLayer::OnSessionDetached(std::string_view sessionId) {
  for (auto it = m_requests.begin(); it != m_requests.end();) {
    if (SessionOwns(it->first, sessionId)) {
      it->second->Abandon();
      it = m_requests.erase(it);
    } else {
      ++it;
    }
  }
  std::erase_if(m_early, [&](const auto& entry) { return SessionOwns(entry.first, sessionId); });
}

void CDevToolsNetworkLayer::OnBrowserClosed() {
  for (auto& [key, request] : m_requests) request->Abandon();
  m_requests.clear();
  m_early.clear();
  m_earlyOrder.clear();
  m_waits.clear();
  m_counted.clear();
}

std::size_t CDevToolsNetworkLayer::RequestsInFlight() const {
  std::size_t count = 0;
  for (const auto& [key, request] : m_requests) count += request->Ended() ? 0 : 1;
  return count;
}

void CDevToolsNetworkLayer::Fault(std::string_view reason) {
  if (m_onFault) m_onFault(reason);
}

}  // namespace tracewell::devtools
