#include "capture/http_handler.h"

#include "http_text/splitting.h"
#include "text/code_page.h"
#include "text/format.h"

namespace tracewell {
namespace {

// Once posted, the binding never reads its record's header blocks, cache snapshots or
// body again, and posts each of them once: they travel with the message instead of
// being copied. The other fields are read again (the URL, the method, the body) or posted
// more than once (the type), so the message takes copies of them.
void TransferRecordFields(CHttpTransaction& from, CHttpTransaction& to, FieldSet fields) {
  constexpr FieldSet kMoved =
      kFieldRequestHeaders | kFieldResponseHeaders | kFieldCacheBefore | kFieldCacheAfter | kFieldResponseBody;
  TransferFields(from, to, fields & ~kMoved);
  TransferFields(std::move(from), to, fields & kMoved);
}

std::atomic<std::uint64_t> g_nextRecordId{1};

constexpr std::size_t kStatusBufferSize = 260;
constexpr std::uint32_t kPostStreamChunk = 64 * 1024;

// A verb the table does not know leaves the method empty.
std::u16string MethodForVerb(const BindInfo& info) {
  switch (info.verb) {
    case kBindVerbGet: return u"GET";
    case kBindVerbPost: return u"POST";
    case kBindVerbPut: return u"PUT";
    case kBindVerbCustom: return info.customVerb;
    default: return {};
  }
}

// A stream's body as text: up to its size or its first NUL byte, whichever comes
// first, so that a stream claiming gigabytes costs no more than what it holds.
std::u16string ReadStreamText(IPostDataStream& stream) {
  const auto size = stream.Size();
  if (!size) return {};
  std::uint32_t left = static_cast<std::uint32_t>(*size);  // low 32 bits, as the platform reads
  std::string bytes;
  while (left > 0) {
    const std::size_t at = bytes.size();
    bytes.resize(at + std::min(left, kPostStreamChunk));
    const std::uint32_t got = stream.Read(bytes.data() + at, static_cast<std::uint32_t>(bytes.size() - at));
    bytes.resize(at + got);
    if (got == 0 || bytes.find('\0', at) != std::string::npos) break;
    left -= got;
  }
  return FromCodePageUntilNul(bytes);
}

// The value of the first "name: value" line of a header block whose trimmed name is
// `name` in any case; trimmed, parameters included.
std::optional<std::u16string_view> FindHeaderValue(std::u16string_view block,
                                                   std::u16string_view name) {
  std::optional<std::u16string_view> found;
  ForEachLine(block, [&](std::u16string_view line) {
    const auto field = found ? std::nullopt : SplitAtFirst(line, u':');
    if (field && EqualsIgnoringCase(Trim(field->name), name)) found = Trim(field->value);
  });
  return found;
}

}  // namespace

// ---- the pass-through protocol object ----------------------------------------------

CHttpHandlerAPP::CHttpHandlerAPP(const IClock& clock, ICacheStore& cacheStore)
    : m_clock(clock), m_cacheStore(cacheStore), m_sink(*this) {}

HResult CHttpHandlerAPP::SetTarget(std::shared_ptr<ITargetProtocol> target) {
  if (!target) return hr::Pointer;
  if (m_target) return hr::Unexpected;
  m_target = std::move(target);
  return hr::Ok;
}

HResult CHttpHandlerAPP::SetNotifyWindow(std::shared_ptr<ICaptureNotifier> notifier) {
  m_notifier = std::move(notifier);
  return hr::Ok;
}

HResult CHttpHandlerAPP::Start(std::u16string_view url, IProtocolSink* browserSink,
                               IBindInfo* bindInfo, std::uint32_t flags) {
  BeginRecord(std::u16string(url), bindInfo);
  return StartTarget(browserSink, bindInfo, [&](IProtocolSink& sink, IBindInfo& info) {
    return m_target->Start(url, sink, info, flags);
  });
}

HResult CHttpHandlerAPP::StartEx(const IUri* uri, IProtocolSink* browserSink, IBindInfo* bindInfo,
                                 std::uint32_t flags) {
  auto url = uri != nullptr ? uri->GetAbsoluteUri() : std::nullopt;
  BeginRecord(url ? std::move(*url) : std::u16string(), bindInfo);
  return StartTarget(browserSink, bindInfo, [&](IProtocolSink& sink, IBindInfo& info) {
    return uri != nullptr ? m_target->StartEx(*uri, sink, info, flags) : hr::Pointer;
  });
}

void CHttpHandlerAPP::BeginRecord(std::u16string url, IBindInfo* bindInfo) {
  m_record = std::make_unique<CHttpTransaction>();
  m_recordId = g_nextRecordId++;
  m_readCount = 0;
  m_finished = false;
  m_record->m_strUrl = std::move(url);
  m_record->m_pCacheInfoBefore = TakeCacheSnapshot(m_cacheStore, m_record->m_strUrl);
  ReadBindInfo(bindInfo);
  PostStarted();
}

void CHttpHandlerAPP::ReadBindInfo(IBindInfo* bindInfo) {
  std::uint32_t bindFlags = 0;
  BindInfo info;
  if (bindInfo != nullptr && !bindInfo->GetBindInfo(bindFlags, info).Failed()) {
    m_record->m_strMethod = MethodForVerb(info);
    if (info.verb == kBindVerbPost && info.medium == kMediumHGlobal) {
      m_record->m_strPostData = FromCodePageUntilNul(info.globalData);
    } else if (info.verb == kBindVerbPost && info.medium == kMediumStream && info.stream) {
      m_record->m_strPostData = ReadStreamText(*info.stream);
    }
  }
  m_record->m_stStarted = Now();
}

HResult CHttpHandlerAPP::StartTarget(IProtocolSink* browserSink, IBindInfo* bindInfo,
                                     const auto& startTarget) {
  m_browserSink = browserSink;
  m_browserBindInfo = bindInfo;
  if (!m_target) return hr::Unexpected;
  if (const HResult bound = m_sink.Bind(browserSink, bindInfo, m_target.get()); bound.Failed()) {
    return bound;
  }
  return startTarget(static_cast<IProtocolSink&>(m_sink), static_cast<IBindInfo&>(m_sink));
}

HResult CHttpHandlerAPP::Read(char* buffer, std::uint32_t size, std::uint32_t& read) {
  if (!m_target) return hr::Unexpected;
  const HResult result = m_target->Read(buffer, size, read);
  if (!result.Failed()) m_readCount += read;
  return result;
}

HResult CHttpHandlerAPP::Abort(HResult reason, std::uint32_t options) {
  return m_target ? m_target->Abort(reason, options) : hr::Unexpected;
}

HResult CHttpHandlerAPP::Terminate(std::uint32_t options) {
  m_browserSink = nullptr;
  m_browserBindInfo = nullptr;
  // The record is finished once per binding, however often the browser terminates.
  if (m_record && !m_finished) {
    m_finished = true;
    CHttpTransaction& record = Current();
    record.m_stEnded = Now();
    record.m_pCacheInfoAfter = TakeCacheSnapshot(m_cacheStore, record.m_strUrl);
    if (record.m_nSize == 0) record.m_nSize = static_cast<std::int32_t>(m_readCount);
    const FieldSet body = record.m_pResponseBody ? FieldSet{kFieldResponseBody} : FieldSet{0};
    PostUpdate(kMaskDuration | kMaskSize | kMaskFinished, kFieldEnded | kFieldSize | kFieldCacheAfter | body, true);
  }
  m_readCount = 0;
  return m_target ? m_target->Terminate(options) : hr::Unexpected;
}

void CHttpHandlerAPP::KeepResponseBody(std::string body) {
  if (m_record && !m_finished) m_record->m_pResponseBody = std::make_unique<std::string>(std::move(body));
}

void CHttpHandlerAPP::BeginFollowUpRecord(std::u16string url) {
  m_record = std::make_unique<CHttpTransaction>();
  m_recordId = g_nextRecordId++;
  m_record->m_strUrl = std::move(url);
  m_record->m_stStarted = Now();
  PostStarted();
}

void CHttpHandlerAPP::PostStarted() {
  if (!m_notifier) return;
  CaptureMessage message;
  message.kind = CaptureMessage::Kind::kStarted;
  message.recordId = m_recordId;
  message.fields = kFieldsAll;
  TransferRecordFields(*m_record, message.values, kFieldsAll);
  m_notifier->Post(std::move(message));
}

void CHttpHandlerAPP::PostUpdate(std::uint32_t mask, FieldSet fields, bool lastForRecord) {
  if (!m_notifier) return;
  CaptureMessage message;
  message.kind = CaptureMessage::Kind::kUpdated;
  message.recordId = m_recordId;
  message.mask = mask;
  message.fields = fields;
  message.lastForRecord = lastForRecord;
  TransferRecordFields(*m_record, message.values, fields);
  m_notifier->Post(std::move(message));
}

// ---- the sink ----------------------------------------------------------------------

HResult CPassthruSink::Bind(IProtocolSink* browserSink, IBindInfo* bindInfo,
                            ITargetProtocol* target) {
  if (browserSink == nullptr || bindInfo == nullptr || target == nullptr) return hr::Pointer;
  if (m_browserSink != nullptr || m_bindInfo != nullptr || m_target != nullptr) {
    return hr::Unexpected;
  }
  m_browserSink = browserSink;
  m_bindInfo = bindInfo;
  m_target = target;
  return hr::Ok;
}

HResult CPassthruSink::Switch() {
  return m_browserSink ? m_browserSink->Switch() : hr::Unexpected;
}

HResult CPassthruSink::ReportProgress(std::uint32_t status, std::u16string_view text) {
  CHttpTransaction& record = m_protocol.Current();
  switch (status) {
    case kBindStatusConnecting:
      record.m_strIpAddress = text;
      m_protocol.PostUpdate(kMaskIpAddress, kFieldIpAddress);
      break;
    case kBindStatusRedirecting:
      OnRedirecting(text);
      break;
    case kBindStatusSendingRequest:
      OnSendingRequest();
      break;
    case kBindStatusMimeTypeAvailable:
      record.m_strMimeType = text;
      m_protocol.PostUpdate(kMaskType, kFieldMimeType);
      break;
    default:
      break;
  }
  return m_browserSink ? m_browserSink->ReportProgress(status, text) : hr::Unexpected;
}

void CPassthruSink::OnRedirecting(std::u16string_view target) {
  CHttpTransaction& record = m_protocol.Current();
  record.m_strResult = FormatText("%d", QueryNumber(kQueryStatusCode));
  record.m_strRedirectUrl = target;
  m_protocol.PostUpdate(kMaskResult, kFieldResult | kFieldRedirectUrl);

  if (const auto block = QueryHeaderBlock(kQueryRawHeadersCrLf)) {
    record.m_strResponseHeaders = FromCodePageUntilNul(*block);
    if (const auto type = FindHeaderValue(record.m_strResponseHeaders, u"Content-Type")) {
      record.m_strMimeType = *type;
    }
  }
  record.m_stEnded = m_protocol.Now();
  if (const auto length = QueryText(kQueryContentLength)) {
    record.m_nSize = LeadingInteger(FromCodePageUntilNul(*length));
  }
  m_protocol.PostUpdate(kMaskDuration | kMaskSize | kMaskType, kFieldResponseHeaders | kFieldMimeType | kFieldEnded | kFieldSize,
                        true);
  m_protocol.BeginFollowUpRecord(std::u16string(target));
  m_bRedirected = true;
}

void CPassthruSink::OnSendingRequest() {
  m_bRequestSent = true;
  CHttpTransaction& record = m_protocol.Current();
  const auto block = QueryHeaderBlock(kQueryRawHeadersCrLf | kQueryFlagRequestHeaders);
  if (block && !block->empty()) {
    record.m_strRequestHeaders = FromCodePageUntilNul(*block);
    std::size_t sent = block->size() + 2;
    if (record.m_strMethod == u"POST") sent += record.m_strPostData.size();
    record.m_nSent = static_cast<std::int32_t>(sent);
  }
  if (!m_bRedirected) {
    m_protocol.PostUpdate(kMaskSent, kFieldSent | kFieldRequestHeaders);
    return;
  }
  const std::u16string& headers = record.m_strRequestHeaders;
  const std::size_t lineEnd = headers.find(u"\r\n");
  if (lineEnd != std::u16string::npos && lineEnd >= 1) {
    const std::u16string_view firstLine = std::u16string_view(headers).substr(0, lineEnd);
    record.m_strMethod = firstLine.substr(0, firstLine.find(u' '));
  }
  m_protocol.PostUpdate(kMaskSent | kMaskMethod, kFieldSent | kFieldRequestHeaders | kFieldMethod);
}

HResult CPassthruSink::ReportData(std::uint32_t flags, std::uint32_t progress,
                                  std::uint32_t progressMax) {
  if (flags & kLastDataNotification) {
    m_protocol.Current().m_nSize = static_cast<std::int32_t>(progressMax);
    m_protocol.PostUpdate(kMaskSize, kFieldSize);
  }
  return m_browserSink ? m_browserSink->ReportData(flags, progress, progressMax) : hr::Unexpected;
}

HResult CPassthruSink::ReportResult(HResult result, std::uint32_t error, std::u16string_view text) {
  OnResult(result, error);
  m_protocol.PostUpdate(kMaskResult | kMaskType,
                        kFieldResult | kFieldMimeType | kFieldResponseHeaders | kFieldRedirectUrl);
  return m_browserSink ? m_browserSink->ReportResult(result, error, text) : hr::Unexpected;
}

void CPassthruSink::OnResult(HResult result, std::uint32_t error) {
  CHttpTransaction& record = m_protocol.Current();
  const int status = QueryNumber(kQueryStatusCode);
  auto takeResponseHeaders = [&] {
    if (const auto block = QueryHeaderBlock(kQueryRawHeadersCrLf)) {
      record.m_strResponseHeaders = FromCodePageUntilNul(*block);
    }
  };
  if (result.Failed()) {
    if (error >= 12001 && error <= 12056) {
      record.m_strResult = FormatText("%d", static_cast<int>(error));
    } else if (status != 200) {
      record.m_strResult = FormatText("%d", status);
      if (status < 100 || status > 505) {
        record.m_strResult = u"(Aborted)";
      } else {
        if (const auto type = QueryText(kQueryContentType)) {
          record.m_strMimeType = FromCodePageUntilNul(*type);
        }
        takeResponseHeaders();
      }
    } else if (m_bRequestSent) {
      record.m_strResult = ServedFromCache() ? u"304" : u"200";
      takeResponseHeaders();
    }
  } else if (error == 0) {
    const bool fromCache = ServedFromCache();
    if (!fromCache) {
      record.m_strResult = FormatText("%d", status);
      takeResponseHeaders();
      // A layer that hands a redirect to its client instead of following it ends the
      // exchange here; keep where it pointed.
      const auto location = FindHeaderValue(record.m_strResponseHeaders, u"Location");
      if (status >= 300 && status <= 399 && location) record.m_strRedirectUrl = *location;
    } else if (!m_bRequestSent) {
      record.m_strResult = u"(Cache)";
    } else {
      record.m_strResult = u"304";
      takeResponseHeaders();
    }
  }
}

HResult CPassthruSink::GetBindInfo(std::uint32_t& flags, BindInfo& info) {
  IBindInfo* browser = m_protocol.m_browserBindInfo;
  return browser ? browser->GetBindInfo(flags, info) : hr::Unexpected;
}

std::optional<std::string> CPassthruSink::QueryText(std::uint32_t option) const {
  if (m_target == nullptr) return std::nullopt;
  auto text = m_target->QueryInfo(option);
  if (text) text->resize(std::min(text->size(), text->find('\0')));
  return text;
}

std::optional<std::string> CPassthruSink::QueryHeaderBlock(std::uint32_t option) const {
  auto block = QueryText(option);
  // A block ends in exactly one CR LF: the empty line that ends the headers goes.
  if (block && block->size() > 5 && block->ends_with("\r\n\r\n")) block->resize(block->size() - 2);
  return block;
}

int CPassthruSink::QueryNumber(std::uint32_t option) const {
  auto text = QueryText(option);
  if (!text) return 0;
  text->resize(std::min(text->size(), kStatusBufferSize - 1));
  return LeadingInteger(FromCodePage(*text));
}

bool CPassthruSink::ServedFromCache() const {
  const auto flags = m_target ? m_target->QueryRequestFlags() : std::nullopt;
  return flags == kRequestFlagFromCache;
}

}  // namespace tracewell
