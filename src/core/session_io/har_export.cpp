#include "session_io/har_export.h"

#include <array>
#include <cmath>
#include <vector>
#include <nlohmann/json.hpp>

#include "http_text/cookie_date.h"
#include "http_text/cookies.h"
#include "http_text/header_block.h"
#include "http_text/parameters.h"
#include "record/duration.h"
#include "session_io/har_header_block.h"
#include "session_io/har_result.h"
#include "session_io/har_time.h"
#include "session_io/record_writing.h"
#include "text/base64.h"
#include "text/code_page.h"
#include "text/utf8.h"
#include "update/version.h"

namespace tracewell {
namespace {

using Json = nlohmann::ordered_json;

constexpr std::string_view kPageId = "page_1";
// For a time that is not a valid calendar time: HAR has no way to say "unknown".
constexpr std::string_view kUnknownTime = "1601-01-01T00:00:00.000+00:00";
constexpr std::array<std::u16string_view, 4> kSecretHeaders = {
    u"Cookie", u"Set-Cookie", u"Authorization", u"Proxy-Authorization"};

std::string U8(std::u16string_view text) { return ToUtf8(text); }

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
  EntryBuilder(const CHttpTransaction& record, const IClock& clock, const HarExportOptions& options)
      : m_record(record), m_clock(clock), m_options(options) {}

  Json Entry(const std::string& started) const {
    const std::int64_t time = DurationMilliseconds();
    Json entry = {{"pageref", kPageId}, {"startedDateTime", started}, {"time", time}};
    HarStatus status;
    entry["request"] = Request();
    entry["response"] = Response(status);
    Json cache = Json::object();
    if (m_record.m_pCacheInfoBefore) cache["beforeRequest"] = Snapshot(*m_record.m_pCacheInfoBefore);
    if (m_record.m_pCacheInfoAfter) cache["afterRequest"] = Snapshot(*m_record.m_pCacheInfoAfter);
    entry["cache"] = std::move(cache);
    // Only the total is known: it all counts as waiting for the response.
    entry["timings"] = {{"blocked", -1}, {"dns", -1}, {"connect", -1}, {"send", 0},
                        {"wait", time},  {"receive", 0}, {"ssl", -1}};
    if (!m_record.m_strIpAddress.empty()) entry["serverIPAddress"] = U8(m_record.m_strIpAddress);
    if (status.fromCache) entry["_fromCache"] = "disk";
    return entry;
  }

 private:
  struct Block {
    std::u16string_view firstLine;
    Json headers = Json::array();
    std::u16string_view contentType;
  };

  Block ReadBlock(std::u16string_view text) const {
    Block block;
    ForEachHeaderLine(
        text, [&](std::u16string_view line) { block.firstLine = line; },
        [&](const NameValue& field) {
          const auto name = Trim(field.name);
          const auto value = Trim(field.value);
          block.headers.push_back({{"name", U8(name)},
                                   {"value", m_options.sanitize && IsSecretHeader(name) ? "" : U8(value)}});
          if (block.contentType.empty() && EqualsIgnoringCase(name, u"Content-Type")) {
            block.contentType = value;
          }
        });
    return block;
  }

  Json NameValues(const std::vector<NameValueText>& pairs, bool secret) const {
    Json list = Json::array();
    for (const auto& pair : pairs) {
      list.push_back({{"name", U8(pair.name)}, {"value", secret ? "" : U8(pair.value)}});
    }
    return list;
  }

  Json Request() const {
    Block block = ReadBlock(m_record.m_strRequestHeaders);
    const RequestLineParts line = SplitRequestLine(block.firstLine);
    const std::u16string_view method = m_record.m_strMethod.empty() ? line.method : m_record.m_strMethod;
    Json request = {
        {"method", U8(method)},
        {"url", U8(HarUrl(method, m_record.m_strUrl))},
        {"httpVersion", U8(line.version)},
        {"cookies", NameValues(RequestCookies(m_record.m_strRequestHeaders), m_options.sanitize)},
        {"headers", std::move(block.headers)},
        {"queryString", NameValues(QueryParameters(m_record.m_strUrl), false)}};
    if (!m_record.m_strPostData.empty()) {
      const auto parameters = PostParameters(m_record.m_strMethod, m_record.m_strPostData);
      request["postData"] = {{"mimeType", U8(block.contentType)},
                             {"text", U8(m_record.m_strPostData)},
                             {"params", NameValues(parameters, false)}};
    }
    request["headersSize"] = RequestHeadersSize();
    request["bodySize"] = ToCodePage(m_record.m_strPostData).size();
    return request;
  }

  // What the record counted as sent, less the body: -1 without request headers.
  std::int64_t RequestHeadersSize() const {
    if (m_record.m_strRequestHeaders.empty()) return -1;
    const std::int64_t body = m_record.m_strMethod == u"POST" ? static_cast<std::int64_t>(m_record.m_strPostData.size()) : 0;
    return std::max<std::int64_t>(m_record.m_nSent - body, -1);
  }

  Json Response(HarStatus& status) const {
    Block block = ReadBlock(m_record.m_strResponseHeaders);
    const auto statusLine = block.firstLine.empty()
                                ? block.firstLine
                                : StatusLineShown(m_record.m_strResult, block.firstLine);
    const StatusLineParts line = SplitStatusLine(statusLine);
    status = HarStatusOf(m_record.m_strResult, line.code);
    const std::int32_t size = status.status == 0 ? 0 : std::max(m_record.m_nSize, 0);
    Json response = {{"status", status.status},
                     {"statusText", U8(line.text)},
                     {"httpVersion", U8(line.version)},
                     {"cookies", ResponseCookies()},
                     {"headers", std::move(block.headers)},
                     {"content", Content(size)},
                     {"redirectURL", U8(m_record.m_strRedirectUrl)},
                     {"headersSize", -1},  // the record keeps no byte count of them
                     {"bodySize", size}};
    if (!status.error.empty()) response["_error"] = U8(status.error);
    return response;
  }

  Json Content(std::int32_t size) const {
    Json content = {{"size", size}, {"mimeType", U8(m_record.m_strMimeType)}};
    const auto body = ResponseBody();
    if (!body) return content;
    if (IsValidUtf8(*body)) {
      content["text"] = *body;
    } else {
      content["text"] = EncodeBase64(*body);
      content["encoding"] = "base64";
    }
    return content;
  }

  std::optional<std::string> ResponseBody() const {
    if (!m_options.bodies) return std::nullopt;
    if (m_record.m_pResponseBody) return *m_record.m_pResponseBody;
    if (m_options.storedBodies != nullptr) return m_options.storedBodies->DecodedResponseBody(m_record);
    return std::nullopt;
  }

  Json ResponseCookies() const {
    Json list = Json::array();
    for (const auto& set : tracewell::ResponseCookies(m_record.m_strResponseHeaders)) {
      Json cookie = {{"name", U8(set.name)}, {"value", m_options.sanitize ? "" : U8(set.value)}};
      if (!set.path.empty()) cookie["path"] = U8(set.path);
      if (!set.domain.empty()) cookie["domain"] = U8(set.domain);
      const auto expires = ParseCookieDate(set.expires);
      const auto text = expires ? FormatUtcIsoTime(*expires, m_clock) : std::nullopt;
      if (text) cookie["expires"] = *text;
      list.push_back(std::move(cookie));
    }
    return list;
  }

  Json Snapshot(const CacheEntrySnapshot& entry) const {
    Json snapshot = Json::object();
    if (entry.ExpireTime.ticks != 0) {
      if (const auto expires = FormatUtcIsoTime(entry.ExpireTime, m_clock)) snapshot["expires"] = *expires;
    }
    snapshot["lastAccess"] = FormatUtcIsoTime(entry.LastAccessTime, m_clock).value_or(std::string(kUnknownTime));
    snapshot["eTag"] = U8(FindHeaderValue(entry.HeaderInfo, u"ETag"));
    snapshot["hitCount"] = entry.HitRate;
    // The rest of the snapshot, exactly; times as their 100-ns counts since 1601.
    snapshot["_sourceUrlName"] = U8(entry.SourceUrlName);
    snapshot["_localFileName"] = U8(entry.LocalFileName);
    snapshot["_cacheEntryType"] = entry.CacheEntryType;
    snapshot["_useCount"] = entry.UseCount;
    snapshot["_sizeLow"] = entry.SizeLow;
    snapshot["_lastModifiedTime"] = entry.LastModifiedTime.ticks;
    snapshot["_expireTime"] = entry.ExpireTime.ticks;
    snapshot["_lastAccessTime"] = entry.LastAccessTime.ticks;
    snapshot["_lastSyncTime"] = entry.LastSyncTime.ticks;
    snapshot["_headerInfo"] = U8(m_options.sanitize ? WithoutSecretValues(entry.HeaderInfo) : entry.HeaderInfo);
    snapshot["_fileExtension"] = U8(entry.FileExtension);
    snapshot["_exemptDelta"] = entry.ExemptDelta;
    return snapshot;
  }

  std::int64_t DurationMilliseconds() const {
    const auto seconds = DurationSeconds(m_record);
    if (!seconds || *seconds < 0) return 0;
    return std::llround(*seconds * 1000.0);
  }

  const CHttpTransaction& m_record;
  const IClock& m_clock;
  const HarExportOptions& m_options;
};

std::string StartedText(const CHttpTransaction& record, const IClock& clock) {
  return FormatLocalIsoTime(record.m_stStarted, clock).value_or(std::string(kUnknownTime));
}

// The one page: named after the first record's URL, started when it started.
Json PageJson(const CHttpTransaction& first, const std::string& started) {
  return {{"startedDateTime", started},
          {"id", kPageId},
          {"title", U8(first.m_strUrl)},
          {"pageTimings", {{"onContentLoad", -1}, {"onLoad", -1}}}};
}

}  // namespace

std::optional<FileError> WriteHarExport(const TransactionArray& records, const IClock& clock,
                                        const HarExportOptions& options, IByteSink& sink,
                                        IWorkProgress* progress) {
  BufferedWriter writer(sink);
  std::string& out = writer.buffer();
  const Json creator = {{"name", "Tracewell"}, {"version", kProgramVersion}};
  out += R"({"log":{"version":"1.2","creator":)" + creator.dump() + R"(,"pages":[)";
  const auto first = std::find_if(records.begin(), records.end(),
                                  [](const auto& record) { return record->m_bCleared == 0; });
  if (first != records.end()) out += PageJson(**first, StartedText(**first, clock)).dump();
  out += R"(],"entries":[)";
  const char* separator = "\n";
  auto error = AppendKeptRecords(records, writer, progress, [&](const CHttpTransaction& record) {
    out += separator;
    separator = ",\n";
    out += EntryBuilder(record, clock, options).Entry(StartedText(record, clock)).dump();
  });
  if (!error) out += "\n]}}\n";
  return error;
}

}  // namespace tracewell
