#pragma once
// The protocol layer of a browser driven over the DevTools protocol: every Network
// event of every attached session goes to OnEvent, and each http or https request
// (keyed by session and request id) becomes one capture binding, made through the
// same scheme bindings as the proxy's, so that Start and Stop switch both layers. A
// request that starts while capture is off gets no binding and makes no record.
//
// ExtraInfo events may come before or after the event they complete (and a load's
// end may come before its response); a request waits for them only while more
// events keep coming, at most kLateEventPatience events after nothing else is
// missing, so no record waits for ever for one that the browser never sends.
// A request body is the event's postData (the browser's text of it, as UTF-8
// bytes); when the event only says that there is one, Network.getRequestPostData
// asks for it and the record starts with the answer. Given a budget with
// KeepResponseBodies, a recorded load that finished asks Network.getResponseBody and
// ends with the answer as its record's body (text as UTF-8, the rest as its bytes),
// until the bodies kept over the layer's life reach the budget: a browser hands whole
// bodies over, so a long run would otherwise fill the memory.
//
// A browse session wires it with the target attacher: the client's events go to
// CTargetAttacher::OnEvent first and, when it does not take them, here; the
// attacher's detach handler calls OnSessionDetached; when the pipe closes, the
// client's OnClosed and then OnBrowserClosed. Events of requests the layer never saw start (they began
// before Network was enabled) are ignored; a malformed event goes to the fault
// handler and changes nothing. The layer lives on the client's thread.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "capture/scheme_bindings.h"
#include "devtools/devtools_client.h"
#include "devtools/network_events.h"
#include "devtools/network_request.h"

namespace tracewell::devtools {

inline constexpr std::uint64_t kLateEventPatience = 100;
// What a browser run keeps of response bodies, at most.
inline constexpr std::uint64_t kMostKeptBodyBytes = 256ull * 1024 * 1024;

class CDevToolsNetworkLayer {
 public:
  using FaultHandler = std::function<void(std::string_view reason)>;

  // `client` sends Network.getRequestPostData for a body the event left out.
  // `cacheStore` is the browser's own cache, which answers the records' cache
  // snapshots; null takes the capture registration's.
  CDevToolsNetworkLayer(CDevToolsClient& client, CSchemeBindings& bindings,
                        ICacheStore* cacheStore = nullptr);
  // Ends every open request, as when the browser goes away.
  ~CDevToolsNetworkLayer();
  CDevToolsNetworkLayer(const CDevToolsNetworkLayer&) = delete;
  CDevToolsNetworkLayer& operator=(const CDevToolsNetworkLayer&) = delete;

  void SetFaultHandler(FaultHandler handler) { m_onFault = std::move(handler); }
  // Response bodies are kept up to `mostBytes` in all; none at first.
  void KeepResponseBodies(std::uint64_t mostBytes) { m_mostBodyBytes = mostBytes; }

  // Any event; those outside the Network domain are ignored.
  void OnEvent(const DevToolsMessage& event);
  // A target detached (or crashed): its open requests end as aborted.
  void OnSessionDetached(std::string_view sessionId);
  // The browser went away: every open request ends as aborted.
  void OnBrowserClosed();

  // Requests that the browser has started and not yet ended.
  std::size_t RequestsInFlight() const;

 private:
  // ExtraInfo events that came before their request's first event.
  struct EarlyExtras {
    std::vector<RequestExtraInfo> sent;
    std::vector<ResponseExtraInfo> received;
  };

  void Apply(const std::string& key, const std::string& sessionId, NetworkEvent event);
  void Begin(const std::string& key, const std::string& sessionId, const std::string& requestId,
             RequestWillBeSent event);
  void KeepEarly(const std::string& key, NetworkEventBody& body);
  // Sends `method` about the request; its answer goes to `answer` while the request
  // still `waits` for it, even when the layer is gone by then.
  void Ask(const char* method, const std::string& key, const std::string& sessionId, const std::string& requestId,
           bool (CNetworkRequest::*waits)() const,
           void (CDevToolsNetworkLayer::*answer)(CNetworkRequest&, const DevToolsReply&));
  void AnswerPostData(CNetworkRequest& request, const DevToolsReply& reply);
  void AnswerResponseBody(CNetworkRequest& request, const DevToolsReply& reply);
  // The body of a getResponseBody answer, within what may still be kept.
  std::optional<std::string> KeptBody(const DevToolsReply& reply);
  // After an event of `key`: forget a request that is done, or start counting the
  // events it waits for late ones.
  void Settle(const std::string& key);
  void ExpireWaits();
  void Fault(std::string_view reason);

  CDevToolsClient& m_client;
  CSchemeBindings& m_bindings;
  ICacheStore* m_cacheStore;
  FaultHandler m_onFault;
  std::uint64_t m_mostBodyBytes = 0;
  std::uint64_t m_keptBodyBytes = 0;
  bool m_saidBodiesFull = false;
  std::unordered_map<std::string, std::unique_ptr<CNetworkRequest>> m_requests;
  std::unordered_map<std::string, EarlyExtras> m_early;
  std::deque<std::string> m_earlyOrder;  // oldest first, to bound m_early
  struct Wait {
    std::uint64_t until;
    std::string key;
  };
  std::deque<Wait> m_waits;  // in event order, so deadlines only grow
  std::unordered_set<std::string> m_counted;  // the keys in m_waits
  std::uint64_t m_events = 0;
  // Answers to the layer's questions may come after the layer is gone.
  std::shared_ptr<CDevToolsNetworkLayer*> m_self = std::make_shared<CDevToolsNetworkLayer*>(this);
};

}  // namespace tracewell::devtools
