#include "capture/exchange_target.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "text/code_page.h"

namespace tracewell {
namespace {

constexpr std::uint32_t kFirstDataNotification = 1;

}  // namespace

HResult CExchangeTarget::Start(std::u16string_view, IProtocolSink& sink, IBindInfo&, std::uint32_t) {
  m_sink = &sink;
  return hr::Ok;
}

HResult CExchangeTarget::StartEx(const IUri&, IProtocolSink& sink, IBindInfo&, std::uint32_t) {
  m_sink = &sink;
  return hr::Ok;
}

HResult CExchangeTarget::Read(char* buffer, std::uint32_t size, std::uint32_t& read) {
  read = static_cast<std::uint32_t>(std::min<std::size_t>(size, m_pendingSize));
  if (read > 0) {
    if (m_pending != nullptr) {  // none: bytes that went on elsewhere, only counted
      if (buffer != m_pending) std::memcpy(buffer, m_pending, read);
      m_pending += read;
    }
    m_pendingSize -= read;
    return hr::Ok;
  }
  return m_bodyDone ? hr::False : hr::Pending;
}

HResult CExchangeTarget::Abort(HResult reason, std::uint32_t) {
  ReportResult(reason, 0);
  return hr::Ok;
}

std::optional<std::string> CExchangeTarget::QueryInfo(std::uint32_t option) {
  switch (option) {
    case kQueryStatusCode:
      if (m_status) return std::to_string(*m_status);
      return std::nullopt;
    case kQueryRawHeadersCrLf:
      if (m_status) return m_responseBlock;
      return std::nullopt;
    case kQueryRawHeadersCrLf | kQueryFlagRequestHeaders:
      if (!m_requestBlock.empty()) return m_requestBlock;
      return std::nullopt;
    case kQueryContentType: return m_contentType;
    case kQueryContentLength: return m_contentLength;
    default: return std::nullopt;
  }
}

void CExchangeTarget::ReportConnecting(std::string_view serverAddress) {
  if (m_sink) m_sink->ReportProgress(kBindStatusConnecting, FromCodePage(serverAddress));
}

void CExchangeTarget::ReportSendingRequest(std::string block) {
  m_requestBlock = std::move(block);
  if (m_sink) m_sink->ReportProgress(kBindStatusSendingRequest, u"");
}

void CExchangeTarget::ReportResponse(int status, std::string block,
                                  std::optional<std::string> contentType,
                                  std::optional<std::string> contentLength) {
  m_status = status;
  m_responseBlock = std::move(block);
  m_contentType = std::move(contentType);
  m_contentLength = std::move(contentLength);
  if (m_sink && m_contentType) {
    // The media type alone, as a networking layer announces it; the full header
    // value stays in the response headers.
    std::string_view type(*m_contentType);
    type = type.substr(0, type.find(';'));
    while (!type.empty() && (type.back() == ' ' || type.back() == '\t')) type.remove_suffix(1);
    m_sink->ReportProgress(kBindStatusMimeTypeAvailable, FromCodePage(type));
  }
}

void CExchangeTarget::ReportRedirecting(std::string_view url) {
  if (m_sink) m_sink->ReportProgress(kBindStatusRedirecting, FromCodePage(url));
  // The exchange goes on at `url`: nothing is known of its request or response yet.
  m_requestBlock.clear();
  m_responseBlock.clear();
  m_status.reset();
  m_contentType.reset();
  m_contentLength.reset();
  m_fromCache = false;
}

void CExchangeTarget::Deliver(const char* data, std::size_t size) {
  const bool first = m_total == 0 && size > 0;
  m_pending = data;
  m_pendingSize = size;
  const std::size_t total = std::size_t{m_total} + size;
  m_total = static_cast<std::uint32_t>(std::min<std::size_t>(total, std::numeric_limits<std::uint32_t>::max()));
  if (first && m_sink) m_sink->ReportData(kFirstDataNotification, m_total, 0);
}

void CExchangeTarget::Finish() {
  m_bodyDone = true;
  if (m_sink) m_sink->ReportData(kLastDataNotification, m_total, m_total);
  ReportResult(hr::Ok, 0);
}

void CExchangeTarget::FinishCounted(std::uint32_t total) {
  m_total = total;
  Finish();
}

void CExchangeTarget::Fail(std::uint32_t errorNumber) {
  m_bodyDone = true;
  ReportResult(hr::Fail, errorNumber);
}

void CExchangeTarget::ReportResult(HResult result, std::uint32_t error) {
  if (m_resulted) return;
  m_resulted = true;
  m_pendingSize = 0;
  if (m_sink) m_sink->ReportResult(result, error, u"");
}

}  // namespace tracewell
