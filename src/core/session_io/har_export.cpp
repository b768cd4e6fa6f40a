#include "session_io/har_export.h"

#include <array>
#include <cmath>
#include <vector>

#include "http_text/cookie_date.h"
#include "http_text/cookies.h"
#include "http_text/header_block.h"
#include "http_text/parameters.h"
#include "record/duration.h"
#include "session_io/har_header_block.h"
#include "session_io/har_result.h"
#include "session_io/har_time.h"
#include "session_io/json_writer.h"
#include "session_io/record_writing.h"
#include "text/base64.h"
#include "text/code_page.h"
#include "text/utf8.h"
#include "update/version.h"

namespace tracewell {
namespace {

constexpr std::string_view kPageId = "page_1";
// For a time that is not a valid calendar time: HAR has no way to say "unknown".
constexpr std::string_view kUnknownTime = "1601-01-01T00:00:00.000+00:00";
constexpr std::array<std::u16string_view, 4> kSecretHeaders = {
    u"Cookie", u"Set-Cookie", u"Authorization", u"Proxy-Authorization"};

bool IsSecretHeader(std::u16string_view name) {
  for (const auto secret : kSecretHeaders) {
    if (EqualsIgnoringCase(name, secret)) return true;
  }
  return false;
}

// A header block with the values of the secret headers left out (their names stay);
// every other line and every line break as it was.
std::u16string WithoutSecretValues(std::u16string_view block) {
  std::u16string kept;
  for (;;) {
    const std::size_t end = block.find_first_of(kLineBreaks);
    const std::u16string_view line = block.substr(0, end);
    const auto field = SplitAtFirst(line, u':');
    kept += field && IsSecretHeader(Trim(field->name)) ? std::u16string(field->name) + u":" : std::u16string(line);
    if (end == std::u16string_view::npos) return kept;
    kept += block[end];
    block.remove_prefix(end + 1);
  }
}

class EntryBuilder {
 public:
  EntryBuilder(const CHttpTransaction& record, const IClock& clock, const HarExportOptions& options,
               CJsonWriter& json)
      : m_record(record), m_clock(clock), m_options(options), m_json(json) {}

  void Entry(const std::string& started) {
    const std::int64_t time = DurationMilliseconds();
    m_json.BeginObject().Member("pageref", kPageId).Member("startedDateTime", started).Member("time", time);
    m_json.Key("request");
    Request();
    m_json.Key("response");
    const HarStatus status = Response();
    m_json.Key("cache").BeginObject();
    if (m_record.m_pCacheInfoBefore) Snapshot("beforeRequest", *m_record.m_pCacheInfoBefore);
    if (m_record.m_pCacheInfoAfter) Snapshot("afterRequest", *m_record.m_pCacheInfoAfter);
    m_json.EndObject();
    // Only the total is known: it all counts as waiting for the response.
    m_json.Key("timings").BeginObject();
    m_json.Member("blocked", -1).Member("dns", -1).Member("connect", -1).Member("send", 0);
    m_json.Member("wait", time).Member("receive", 0).Member("ssl", -1).EndObject();
    if (!m_record.m_strIpAddress.empty()) m_json.Member("serverIPAddress", m_record.m_strIpAddress);
    if (status.fromCache) m_json.Member("_fromCache", "disk");
    m_json.EndObject();
  }

 private:
  struct Block {
    std::u16string_view firstLine;
    std::vector<NameValue> headers;  // trimmed; a secret value left out when sanitizing
    std::u16string_view contentType;
  };

  Block ReadBlock(std::u16string_view text) const {
    Block block;
    ForEachHeaderLine(
        text, [&](std::u16string_view line) { block.firstLine = line; },
        [&](const NameValue& field) {
          const auto name = Trim(field.name);
          const auto value = Trim(field.value);
          block.headers.push_back({name, m_options.sanitize && IsSecretHeader(name) ? std::u16string_view() : value});
          if (block.contentType.empty() && EqualsIgnoringCase(name, u"Content-Type")) {
            block.contentType = value;
          }
        });
    return block;
  }

  template <typename Pairs>
  void NameValues(std::string_view key, const Pairs& pairs, bool secret) {
    m_json.Key(key).BeginArray();
    for (const auto& pair : pairs) {
      m_json.BeginObject().Member("name", pair.name);
      m_json.Member("value", secret ? std::u16string_view() : std::u16string_view(pair.value)).EndObject();
    }
    m_json.EndArray();
  }

  void Request() {
    const Block block = ReadBlock(m_record.m_strRequestHeaders);
    const RequestLineParts line = SplitRequestLine(block.firstLine);
    const std::u16string_view method = m_record.m_strMethod.empty() ? line.method : m_record.m_strMethod;
    m_json.BeginObject().Member("method", method).Member("url", HarUrl(method, m_record.m_strUrl));
    m_json.Member("httpVersion", line.version);
    NameValues("cookies", RequestCookies(m_record.m_strRequestHeaders), m_options.sanitize);
    NameValues("headers", block.headers, false);
    NameValues("queryString", QueryParameters(m_record.m_strUrl), false);
    if (!m_record.m_strPostData.empty()) {
      m_json.Key("postData").BeginObject();
      m_json.Member("mimeType", block.contentType).Member("text", m_record.m_strPostData);
      NameValues("params", PostParameters(m_record.m_strMethod, m_record.m_strPostData), false);
      m_json.EndObject();
    }
    m_json.Member("headersSize", RequestHeadersSize());
    m_json.Member("bodySize", static_cast<std::uint64_t>(ToCodePage(m_record.m_strPostData).size()));
    m_json.EndObject();
  }

  // What the record counted as sent, less the body: -1 without request headers.
  std::int64_t RequestHeadersSize() const {
    if (m_record.m_strRequestHeaders.empty()) return -1;
    const std::int64_t body = m_record.m_strMethod == u"POST" ? static_cast<std::int64_t>(m_record.m_strPostData.size()) : 0;
    return std::max<std::int64_t>(m_record.m_nSent - body, -1);
  }

  HarStatus Response() {
    const Block block = ReadBlock(m_record.m_strResponseHeaders);
    const auto statusLine = block.firstLine.empty()
                                ? block.firstLine
                                : StatusLineShown(m_record.m_strResult, block.firstLine);
    const StatusLineParts line = SplitStatusLine(statusLine);
    HarStatus status = HarStatusOf(m_record.m_strResult, line.code);
    const std::int32_t size = status.status == 0 ? 0 : std::max(m_record.m_nSize, 0);
    m_json.BeginObject().Member("status", status.status).Member("statusText", line.text);
    m_json.Member("httpVersion", line.version);
    ResponseCookies();
    NameValues("headers", block.headers, false);
    Content(size);
    m_json.Member("redirectURL", m_record.m_strRedirectUrl);
    m_json.Member("headersSize", -1);  // the record keeps no byte count of them
    m_json.Member("bodySize", size);
    if (!status.error.empty()) m_json.Member("_error", status.error);
    m_json.EndObject();
    return status;
  }

  // HAR's content size is the decoded body's, and its compression what the content
  // coding saved against the bytes received; without a known body, the bytes received.
  void Content(std::int32_t size) {
    const auto body = ResponseBody();
    const auto decoded = body ? static_cast<std::int64_t>(body->size()) : 0;
    m_json.Key("content").BeginObject();
    if (decoded > size) {
      m_json.Member("size", decoded).Member("compression", decoded - size);
    } else {
      m_json.Member("size", size);
    }
    m_json.Member("mimeType", m_record.m_strMimeType);
    if (body) {
      if (IsValidUtf8(*body)) {
        m_json.Member("text", *body);
      } else {
        m_json.Member("text", EncodeBase64(*body)).Member("encoding", "base64");
      }
    }
    m_json.EndObject();
  }

  std::optional<std::string> ResponseBody() const {
    if (!m_options.bodies) return std::nullopt;
    if (m_record.m_pResponseBody) return *m_record.m_pResponseBody;
    if (m_options.storedBodies != nullptr) return m_options.storedBodies->DecodedResponseBody(m_record);
    return std::nullopt;
  }

  void ResponseCookies() {
    m_json.Key("cookies").BeginArray();
    for (const auto& set : tracewell::ResponseCookies(m_record.m_strResponseHeaders)) {
      m_json.BeginObject().Member("name", set.name);
      m_json.Member("value", m_options.sanitize ? std::u16string_view() : std::u16string_view(set.value));
      if (!set.path.empty()) m_json.Member("path", set.path);
      if (!set.domain.empty()) m_json.Member("domain", set.domain);
      const auto expires = ParseCookieDate(set.expires);
      if (const auto text = expires ? FormatUtcIsoTime(*expires, m_clock) : std::nullopt) {
        m_json.Member("expires", *text);
      }
      m_json.EndObject();
    }
    m_json.EndArray();
  }

  void Snapshot(std::string_view key, const CacheEntrySnapshot& entry) {
    m_json.Key(key).BeginObject();
    if (entry.ExpireTime.ticks != 0) {
      if (const auto expires = FormatUtcIsoTime(entry.ExpireTime, m_clock)) m_json.Member("expires", *expires);
    }
    m_json.Member("lastAccess", FormatUtcIsoTime(entry.LastAccessTime, m_clock).value_or(std::string(kUnknownTime)));
    m_json.Member("eTag", FindHeaderValue(entry.HeaderInfo, u"ETag"));
    m_json.Member("hitCount", entry.HitRate);
    // The rest of the snapshot, exactly; times as their 100-ns counts since 1601.
    m_json.Member("_sourceUrlName", entry.SourceUrlName).Member("_localFileName", entry.LocalFileName);
    m_json.Member("_cacheEntryType", entry.CacheEntryType).Member("_useCount", entry.UseCount);
    m_json.Member("_sizeLow", entry.SizeLow);
    m_json.Member("_lastModifiedTime", entry.LastModifiedTime.ticks).Member("_expireTime", entry.ExpireTime.ticks);
    m_json.Member("_lastAccessTime", entry.LastAccessTime.ticks).Member("_lastSyncTime", entry.LastSyncTime.ticks);
    m_json.Member("_headerInfo", m_options.sanitize ? WithoutSecretValues(entry.HeaderInfo) : entry.HeaderInfo);
    m_json.Member("_fileExtension", entry.FileExtension).Member("_exemptDelta", entry.ExemptDelta);
    m_json.EndObject();
  }

  std::int64_t DurationMilliseconds() const {
    const auto seconds = DurationSeconds(m_record);
    if (!seconds || *seconds < 0) return 0;
    return std::llround(*seconds * 1000.0);
  }

  const CHttpTransaction& m_record;
  const IClock& m_clock;
  const HarExportOptions& m_options;
  CJsonWriter& m_json;
};

std::string StartedText(const CHttpTransaction& record, const IClock& clock) {
  return FormatLocalIsoTime(record.m_stStarted, clock).value_or(std::string(kUnknownTime));
}

// The one page: named after the first record's URL, started when it started.
void PageJson(CJsonWriter& json, const CHttpTransaction& first, const std::string& started) {
  json.BeginObject().Member("startedDateTime", started).Member("id", kPageId).Member("title", first.m_strUrl);
  json.Key("pageTimings").BeginObject().Member("onContentLoad", -1).Member("onLoad", -1).EndObject();
  json.EndObject();
}

}  // namespace

std::optional<FileError> WriteHarExport(const TransactionArray& records, const IClock& clock,
                                        const HarExportOptions& options, IByteSink& sink,
                                        IWorkProgress* progress) {
  BufferedWriter writer(sink);
  std::string& out = writer.buffer();
  out += R"({"log":{"version":"1.2","creator":)";
  CJsonWriter(out).BeginObject().Member("name", "Tracewell").Member("version", kProgramVersion).EndObject();
  out += R"(,"pages":[)";
  const auto first = std::find_if(records.begin(), records.end(),
                                  [](const auto& record) { return record->m_bCleared == 0; });
  if (first != records.end()) {
    CJsonWriter page(out);
    PageJson(page, **first, StartedText(**first, clock));
  }
  out += R"(],"entries":[)";
  const char* separator = "\n";
  auto error = AppendKeptRecords(records, writer, progress, [&](const CHttpTransaction& record) {
    out += separator;
    separator = ",\n";
    CJsonWriter entry(out);
    EntryBuilder(record, clock, options, entry).Entry(StartedText(record, clock));
  });
  if (!error) out += "\n]}}\n";
  return error;
}

}  // namespace tracewell
