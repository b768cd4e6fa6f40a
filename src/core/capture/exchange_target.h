#pragma once
// One exchange as the capture engine's target protocol, for a protocol layer that
// learns what happens from outside (the proxy from its connections, the DevTools
// layer from the browser's events): it makes the reports a networking layer makes
// (server address, request sent, redirect, content type, data, result), answers the
// queries from the request and response it was told about, and hands the body
// through Read.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "capture/protocol_layer.h"

namespace tracewell {

class CExchangeTarget final : public ITargetProtocol {
 public:
  HResult Start(std::u16string_view url, IProtocolSink& sink, IBindInfo& bindInfo,
                std::uint32_t flags) override;
  HResult StartEx(const IUri& uri, IProtocolSink& sink, IBindInfo& bindInfo,
                  std::uint32_t flags) override;
  // Copies body bytes delivered and not yet read (nothing to copy when `buffer` is
  // where they were delivered); S_FALSE at the end, E_PENDING while the next bytes
  // are still on their way.
  HResult Read(char* buffer, std::uint32_t size, std::uint32_t& read) override;
  // The client went away: the exchange ends with the reason as its result.
  HResult Abort(HResult reason, std::uint32_t options) override;
  HResult Terminate(std::uint32_t) override { return hr::Ok; }
  std::optional<std::string> QueryInfo(std::uint32_t option) override;
  std::optional<std::uint32_t> QueryRequestFlags() override {
    return m_fromCache ? kRequestFlagFromCache : 0;
  }

  // The exchange as it happens.
  void ReportConnecting(std::string_view serverAddress);
  // `block`: the request line and header lines as written upstream, ending in an
  // empty line.
  void ReportSendingRequest(std::string block);
  // The response header block as received (status line first, empty line last).
  // A content type is announced (its media type alone) when there is one.
  void ReportResponse(int status, std::string block, std::optional<std::string> contentType,
                      std::optional<std::string> contentLength);
  // The response came from a cache (alone, or revalidated when a request was sent);
  // without it the layer asked the server.
  void SetFromCache(bool fromCache) { m_fromCache = fromCache; }
  // The response reported last redirects to `url`; the exchange goes on there, with
  // nothing known yet of its next request and response.
  void ReportRedirecting(std::string_view url);
  // Body bytes for the next Read; they must stay valid until the next Deliver. With
  // no data, `size` bytes went on without passing through here: the next Read counts
  // them as read and copies nothing.
  void Deliver(const char* data, std::size_t size);
  // The whole body has arrived: the last-data report with the total, then success.
  void Finish();
  // Ends with `total` body bytes that were never delivered here (a layer that sees
  // only their count): the last-data report with it, then success.
  void FinishCounted(std::uint32_t total);
  // The exchange failed with a network error number (12001..12056).
  void Fail(std::uint32_t errorNumber);
  bool HasResult() const { return m_resulted; }

 private:
  void ReportResult(HResult result, std::uint32_t error);

  IProtocolSink* m_sink = nullptr;
  std::string m_requestBlock;
  std::string m_responseBlock;
  std::optional<int> m_status;
  std::optional<std::string> m_contentType;
  std::optional<std::string> m_contentLength;
  const char* m_pending = nullptr;
  std::size_t m_pendingSize = 0;
  std::uint32_t m_total = 0;
  bool m_fromCache = false;
  bool m_bodyDone = false;
  bool m_resulted = false;
};

}  // namespace tracewell
