#include "http_text/record_bodies.h"

#include "http_text/header_block.h"
#include "text/code_page.h"

namespace tracewell {

RecordBodies RecordBodiesOf(const CHttpTransaction& record) {
  RecordBodies bodies;
  if ((record.m_strMethod == u"POST" || record.m_strMethod == u"PUT") && !record.m_strPostData.empty()) {
    bodies.requestBody = ToCodePage(record.m_strPostData);
    bodies.requestContentType = FindHeaderValue(record.m_strRequestHeaders, u"Content-Type");
  }
  const CacheEntrySnapshot* stored = record.m_pCacheInfoAfter.get();
  const std::u16string_view described =
      stored != nullptr && !stored->HeaderInfo.empty() ? stored->HeaderInfo : record.m_strResponseHeaders;
  bodies.responseContentType = FindHeaderValue(described, u"Content-Type");
  if (bodies.responseContentType.empty()) bodies.responseContentType = record.m_strMimeType;
  if (record.m_pResponseBody) {
    bodies.carriedBody = *record.m_pResponseBody;
  } else {
    bodies.responseContentEncoding = FindHeaderValue(described, u"Content-Encoding");
    if (stored != nullptr) bodies.storedFile = stored->LocalFileName;
  }
  return bodies;
}

}  // namespace tracewell
