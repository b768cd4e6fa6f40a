#pragma once
// One request of the browser as the capture engine's binding: the events of one
// request id (its redirect hops included) turned into the report sequence of a
// networking layer. Facts are kept as they come, in any order; reports are made as
// soon as the facts they need are known, in the order a networking layer makes them:
// start, server address, request sent, response (content type), redirect to the next
// hop, ..., data, result. A hop whose response was sent over the network waits for
// its ExtraInfo events (the headers as sent and received), and a load that finished
// before its response was announced waits for the response, until they come or the
// layer stops waiting.

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "capture/exchange_binding.h"
#include "devtools/network_events.h"

namespace tracewell::devtools {

class CNetworkRequest {
 public:
  // `app` is the capture engine's object around `target`, null while capture is off.
  // The request starts at once unless its body has still to be asked for
  // (WaitsForPostData).
  CNetworkRequest(std::shared_ptr<CHttpHandlerAPP> app, std::shared_ptr<CExchangeTarget> target,
                  RequestWillBeSent first);
  ~CNetworkRequest();
  CNetworkRequest(const CNetworkRequest&) = delete;
  CNetworkRequest& operator=(const CNetworkRequest&) = delete;

  bool WaitsForPostData() const { return m_waitsForPostData; }
  void SetPostData(std::string body);
  // A finished load whose body is asked for ends once the answer came; none when
  // the browser had no body to give.
  bool WaitsForResponseBody() const { return m_waitsForResponseBody; }
  void SetResponseBody(std::optional<std::string> body);

  void OnRedirect(RequestWillBeSent next);
  // False when the event is one too many: more ExtraInfo events than a redirect
  // chain can have.
  bool OnRequestExtraInfo(RequestExtraInfo extra);
  void OnResponse(ResponseReceived received);
  bool OnResponseExtraInfo(ResponseExtraInfo extra);
  void OnServedFromCache();
  void OnData(std::uint64_t bytes);
  // `askBody`: the record keeps the response body, which the layer asks for when the
  // request is recorded and its response may have one (WaitsForResponseBody).
  void OnFinished(const LoadingFinished& finished, bool askBody = false);
  void OnFailed(const LoadingFailed& failed);

  // No more ExtraInfo events will be waited for: what is known is reported.
  void StopWaiting();
  // The request's target went away: reported as far as known, and ended as aborted
  // unless the browser had ended it.
  void Abandon();

  // The browser ended the load (finished or failed).
  bool Ended() const { return !std::holds_alternative<std::monostate>(m_end); }
  // Every report is made and the record is finished.
  bool Done() const { return m_done; }
  // The browser has moved on (a later hop, or the end), and the next report waits
  // only for events that come late: ExtraInfo, or the response of a finished load.
  bool WaitsForLateEvents() const;

 private:
  struct Hop {
    std::string url;
    std::string method;
    HeaderFields requestHeaders;
    std::optional<ResponseFacts> response;
    bool expectsExtraInfo = false;
    bool servedFromCache = false;
    std::size_t extraSlot = 0;  // which ExtraInfo events are this hop's
    std::uint64_t bodyBytes = 0;
  };
  using End = std::variant<std::monostate, LoadingFinished, LoadingFailed>;

  static Hop HopOf(RequestWillBeSent& event);
  void SetResponse(Hop& hop, ResponseFacts response, bool hasExtraInfo);
  Hop& Current() { return m_hops.back(); }
  bool HasExtraInfo(const Hop& hop) const;
  bool MayReport(const Hop& hop) const;
  bool MayEnd(const Hop& hop) const;
  bool MayHaveBody() const;

  // Makes every report whose facts are known.
  void Pump();
  void Start();
  void ReportExchange(const Hop& hop, bool redirected);
  void ReportEnd();
  void NextHop();

  std::shared_ptr<CHttpHandlerAPP> m_app;
  std::shared_ptr<CExchangeTarget> m_target;
  std::optional<CClientRequest> m_client;
  std::unique_ptr<CExchangeBinding> m_binding;
  std::string m_postData;
  std::optional<std::string> m_responseBody;
  std::deque<Hop> m_hops;  // the front hop is the one being reported
  // ExtraInfo events in the order they came; slot i belongs to the i-th hop that
  // expects them.
  std::vector<std::optional<HeaderFields>> m_sentHeaders;
  std::vector<ResponseExtraInfo> m_receivedExtras;
  std::size_t m_nextSlot = 0;
  End m_end;
  bool m_waitsForPostData = false;
  bool m_waitsForResponseBody = false;
  bool m_started = false;
  bool m_frontReported = false;
  bool m_stopWaiting = false;
  bool m_done = false;
};

}  // namespace tracewell::devtools
