#include "http_cache/cache_rules.h"

#include <algorithm>
#include <array>
#include <set>
#include <vector>

#include "http_text/cookie_date.h"
#include "http_text/header_block.h"

namespace tracewell {
namespace {

// Delta-seconds past this are taken as this (RFC 9111, 1.2.2).
constexpr std::int64_t kLargestDelta = 2147483648;

std::u16string_view Unquoted(std::u16string_view value) {
  if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"') return value.substr(1, value.size() - 2);
  return value;
}

// Digits only; anything else is no delta at all.
std::optional<std::int64_t> DeltaSeconds(std::u16string_view text) {
  if (text.empty()) return std::nullopt;
  std::int64_t value = 0;
  for (const char16_t c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    value = std::min(value * 10 + (c - u'0'), kLargestDelta);
  }
  return value;
}

std::optional<FileTime> DateField(const HeaderFields& headers, std::u16string_view name) {
  const auto value = FieldValue(headers, name);
  return value ? ParseCookieDate(*value) : std::nullopt;
}

std::int64_t SecondsBetween(FileTime from, FileTime to) {
  return (static_cast<std::int64_t>(to.ticks) - static_cast<std::int64_t>(from.ticks)) / kFileTimeTicksPerSecond;
}

FileTime PlusSeconds(FileTime time, std::int64_t seconds) {
  const std::int64_t ticks = static_cast<std::int64_t>(time.ticks) + seconds * kFileTimeTicksPerSecond;
  return FileTime{static_cast<std::uint64_t>(std::max<std::int64_t>(ticks, 0))};
}

CacheControl CacheControlOf(const HeaderFields& headers) {
  return ParseCacheControl(FieldValue(headers, u"Cache-Control").value_or(u""));
}

// Any of the request's Cache-Control fields says no-store: what their values joined
// would say, without taking the block apart.
bool RequestSaysNoStore(std::u16string_view requestHeaders) {
  bool noStore = false;
  ForEachHeaderLine(
      requestHeaders, [](std::u16string_view) {},
      [&](const NameValue& field) {
        noStore = noStore ||
                  (EqualsIgnoringCase(Trim(field.name), u"Cache-Control") && ParseCacheControl(field.value).noStore);
      });
  return noStore;
}

// Which fields belong to one connection only: a fixed few, the Proxy- fields and
// those that the response's Connection field names.
class ConnectionFields {
 public:
  explicit ConnectionFields(const HeaderFields& response) {
    for (const NameValue& field : response.fields) {
      if (!EqualsIgnoringCase(field.name, u"Connection")) continue;
      ForEachPiece(field.value, u",", [&](std::u16string_view piece) { m_named.push_back(Trim(piece)); });
    }
  }

  bool Contains(std::u16string_view name) const {
    static constexpr std::array<std::u16string_view, 5> kAlways{u"connection", u"keep-alive", u"te",
                                                                u"transfer-encoding", u"upgrade"};
    const auto isName = [&](std::u16string_view other) { return EqualsIgnoringCase(name, other); };
    return StartsWithIgnoringCase(name, u"proxy-") || std::any_of(kAlways.begin(), kAlways.end(), isName) ||
           std::any_of(m_named.begin(), m_named.end(), isName);
  }

 private:
  std::vector<std::u16string_view> m_named;
};

}  // namespace

CacheControl ParseCacheControl(std::u16string_view value) {
  CacheControl control;
  bool sawMaxAge = false;
  ForEachPiece(value, u",", [&](std::u16string_view piece) {
    const std::size_t equals = piece.find(u'=');
    const std::u16string name = AsciiLowercase(Trim(piece.substr(0, equals)));
    const std::u16string_view argument =
        equals == std::u16string_view::npos ? std::u16string_view() : Unquoted(Trim(piece.substr(equals + 1)));
    if (name == u"no-store") control.noStore = true;
    if (name == u"no-cache") control.noCache = true;
    if (name == u"public") control.isPublic = true;
    if (name == u"private") control.isPrivate = true;
    if (name == u"max-age") {
      control.maxAge = sawMaxAge ? 0 : DeltaSeconds(argument).value_or(0);
      sawMaxAge = true;
    }
  });
  return control;
}

bool IsHeuristicallyCacheable(int status) {
  static constexpr std::array kStatuses{200, 203, 204, 206, 300, 301, 308, 404, 405, 410, 414, 501};
  return std::find(kStatuses.begin(), kStatuses.end(), status) != kStatuses.end();
}

bool MayStore(std::u16string_view method, std::u16string_view requestHeaders, int status,
              const HeaderFields& response) {
  if (method != u"GET" || status < 200 || status == 206 || status == 304) return false;
  const CacheControl control = CacheControlOf(response);
  if (control.noStore || RequestSaysNoStore(requestHeaders)) return false;
  return control.isPublic || control.isPrivate || control.maxAge || FieldValue(response, u"Expires") ||
         IsHeuristicallyCacheable(status);
}

namespace {

// The lifetime as FreshnessLifetime says, with the response's Date and Last-Modified
// already read.
std::optional<std::int64_t> LifetimeFrom(int status, const HeaderFields& response, FileTime date,
                                         std::optional<FileTime> lastModified) {
  const CacheControl control = CacheControlOf(response);
  if (control.maxAge) return control.maxAge;
  if (const auto expiresText = FieldValue(response, u"Expires")) {
    const auto expires = ParseCookieDate(*expiresText);
    return expires ? std::max<std::int64_t>(SecondsBetween(date, *expires), 0) : 0;
  }
  if (!IsHeuristicallyCacheable(status) && !control.isPublic) return std::nullopt;
  if (!lastModified) return std::nullopt;
  return std::max<std::int64_t>(SecondsBetween(*lastModified, date) / 10, 0);
}

}  // namespace

std::optional<FileTime> LastModified(const HeaderFields& response) { return DateField(response, u"Last-Modified"); }

std::optional<std::int64_t> FreshnessLifetime(int status, const HeaderFields& response, FileTime received) {
  return LifetimeFrom(status, response, DateField(response, u"Date").value_or(received), LastModified(response));
}

std::optional<FileTime> ExpirationTime(int status, const HeaderFields& response, FileTime received) {
  return ExpirationTime(status, response, received, LastModified(response));
}

std::optional<FileTime> ExpirationTime(int status, const HeaderFields& response, FileTime received,
                                       std::optional<FileTime> lastModified) {
  const FileTime date = DateField(response, u"Date").value_or(received);
  const auto lifetime = LifetimeFrom(status, response, date, lastModified);
  if (!lifetime) return std::nullopt;
  const std::int64_t apparentAge = std::max<std::int64_t>(SecondsBetween(date, received), 0);
  const std::int64_t age = DeltaSeconds(FieldValue(response, u"Age").value_or(u"")).value_or(0);
  return PlusSeconds(received, *lifetime - std::max(apparentAge, age));
}

std::optional<std::u16string> VaryKey(const HeaderFields& response, std::u16string_view requestHeaders) {
  const auto vary = FieldValue(response, u"Vary");
  if (!vary) return std::u16string();
  const HeaderFields request = ParseHeaderFields(requestHeaders);
  std::u16string key;
  bool any = false;
  ForEachPiece(*vary, u",", [&](std::u16string_view piece) {
    const std::u16string_view name = Trim(piece);
    if (name.empty()) return;
    if (name == u"*") any = true;
    key += AsciiLowercase(name);
    if (const auto value = FieldValue(request, name)) key += u":" + *value;
    key += u"\n";
  });
  if (any) return std::nullopt;
  return key;
}

HeaderFields StoredFields(HeaderFields response) {
  const ConnectionFields connection(response);
  std::erase_if(response.fields, [&](const NameValue& field) { return connection.Contains(field.name); });
  return response;
}

HeaderFields UpdateAfterNotModified(const HeaderFields& stored, const HeaderFields& notModified) {
  HeaderFields updates = StoredFields(notModified);
  std::erase_if(updates.fields,
                [](const NameValue& field) { return EqualsIgnoringCase(field.name, u"Content-Length"); });
  std::set<std::u16string> updatedNames;
  for (const NameValue& field : updates.fields) updatedNames.insert(AsciiLowercase(field.name));

  HeaderFields result{stored.firstLine, {}};
  std::set<std::u16string> placed;
  const auto place = [&](const std::u16string& name) {
    if (!placed.insert(name).second) return;
    for (const NameValue& field : updates.fields) {
      if (AsciiLowercase(field.name) == name) result.fields.push_back(field);
    }
  };
  // An updated field keeps the place of its first stored occurrence.
  for (const NameValue& field : stored.fields) {
    const std::u16string name = AsciiLowercase(field.name);
    if (updatedNames.contains(name)) {
      place(name);
    } else {
      result.fields.push_back(field);
    }
  }
  for (const NameValue& field : updates.fields) place(AsciiLowercase(field.name));
  return result;
}

bool InvalidatesStored(std::u16string_view method, int status) {
  const bool safe = method == u"GET" || method == u"HEAD" || method == u"OPTIONS" || method == u"TRACE";
  return !safe && status >= 200 && status < 400;
}

}  // namespace tracewell
