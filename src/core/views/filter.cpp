#include "views/filter.h"

#include <algorithm>

namespace tracewell {

const std::array<StatusCodeChoice, 16> kFilterStatusCodes = {{
    {u"100", u"Continue. The client should continue with its request."},
    {u"200", u"OK. The request has succeeded."},
    {u"201", u"Created. The request has been fulfilled and resulted in a new resource."},
    {u"206", u"Partial Content. The server has fulfilled the partial GET request for the resource."},
    {u"301",
     u"Move permanently. The requested resource has been assigned a new permanent URI and any "
     u"future refenrences to this resource should use one of the returned URIs"},
    {u"302", u"Found.The requested resource resides temporarily under a different URI"},
    {u"304",
     u"Not modofied. The client has performed a conditional GET request and access is allowed, "
     u"but the document has not been modified."},
    {u"307", u"Temporary Redirect.The requested resource resided temporarily under a different URI"},
    {u"400",
     u"Bad request. The request could not be understood by the server due to malformed syntax."},
    {u"401", u"Unauthorized.The request requires user authentication."},
    {u"403", u"Forbidden.The server understood the request,but is refusing to fulfill it."},
    {u"404", u"Not found.The server has not found anything matchine the request-URI"},
    {u"408",
     u"Request timeout.The client did not produce a request within the time that the server was "
     u"prepared to wait."},
    {u"500",
     u"Internal server error.The Web server (running the Web Site) encountered an unexpected "
     u"condition that prevented it from fulfilling the request by the client."},
    {u"501",
     u"Not implemented.The server does not support the functionality required to fulfill the "
     u"request."},
    {u"503",
     u"Service Unavailable. The server is currently unable to handle the request due to a "
     u"temporary overloading or maintenance of the server."},
}};

const std::array<std::u16string_view, 11> kFilterContentTypes = {
    u"text/html", u"text/css",  u"text/javascript", u"text/xml",
    u"text/*",    u"image/gif", u"image/jpg",       u"image/png",
    u"image/*",   u"application/x-javascript",      u"application/*"};

bool ContentTypeMatches(std::u16string_view entry, std::u16string_view mimeType) {
  for (const std::u16string_view family : {u"text/*", u"image/*", u"application/*"}) {
    if (entry == family) return mimeType.find(family.substr(0, family.size() - 1)) != mimeType.npos;
  }
  return entry == mimeType;
}

namespace {

bool AnyTypeMatches(const FilterSettings& settings, const CHttpTransaction& record) {
  return std::ranges::any_of(settings.m_arrFilterContentTypes, [&](const std::u16string& entry) {
    return ContentTypeMatches(entry, record.m_strMimeType);
  });
}

bool AnyStatusMatches(const FilterSettings& settings, const CHttpTransaction& record) {
  return std::ranges::find(settings.m_arrFilterStatusCodes, record.m_strResult) !=
         settings.m_arrFilterStatusCodes.end();
}

}  // namespace

void ClassifyTransaction(const FilterSettings& settings, CHttpTransaction& record) {
  if (settings.m_bFilterByType && AnyTypeMatches(settings, record)) record.m_bTypeMatch = 1;
  if (settings.m_bFilterByStatus && AnyStatusMatches(settings, record)) record.m_bStatusMatch = 1;
}

void ReclassifyAll(const FilterSettings& settings, TransactionArray& records) {
  for (auto& record : records) {
    if (settings.m_bFilterByType) record->m_bTypeMatch = AnyTypeMatches(settings, *record) ? 1 : 0;
    if (settings.m_bFilterByStatus) {
      record->m_bStatusMatch = AnyStatusMatches(settings, *record) ? 1 : 0;
    }
  }
}

bool PassesFilter(const FilterSettings& settings, const CHttpTransaction& record) {
  const bool status = record.m_bStatusMatch == 1;
  const bool type = record.m_bTypeMatch == 1;
  if (settings.m_bFilterByStatus && settings.m_bFilterByType) {
    return settings.m_nFilterCombine != 0 ? status && type : status || type;
  }
  if (settings.m_bFilterByStatus) return status;
  if (settings.m_bFilterByType) return type;
  return false;
}

}  // namespace tracewell
