#pragma once
// The record of one HTTP(S) request, or of one redirect hop. Fields are declared in
// the order the log file stores them; a new record has every number 0, every string
// empty, both times all-zero, no cache snapshots and every flag 0.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "record/cache_entry_snapshot.h"
#include "record/system_time.h"

namespace tracewell {

class CHttpTransaction {
 public:
  std::int32_t m_nSent = 0;      // request-header bytes + 2, plus post-data characters for POST
  std::int32_t m_nSize = 0;      // response size in bytes
  std::int32_t m_nReserved = 0;  // carried and stored, never filled by capture
  std::u16string m_strResult;    // status code, network error number, "(Aborted)", "(Cache)", "304"
  std::u16string m_strMethod;    // "GET", "POST", "PUT" or empty
  std::u16string m_strMimeType;
  std::u16string m_strUrl;
  std::u16string m_strRedirectUrl;
  std::u16string m_strRequestHeaders;   // request line first, CR LF separated, ends in CR LF
  std::u16string m_strResponseHeaders;  // status line first, CR LF separated, ends in CR LF
  std::u16string m_strPostData;
  std::u16string m_strIpAddress;
  std::u16string m_strReserved;  // carried and stored, never filled by capture
  SystemTime m_stStarted;        // local time
  SystemTime m_stEnded;          // local time; all-zero while the request runs
  SharedCacheEntry m_pCacheInfoBefore;
  SharedCacheEntry m_pCacheInfoAfter;
  // The response body the record carries, already without its content encoding: the
  // one a HAR file carried, or the one a browser gave for its own request; null for
  // the proxy's records (a store keeps their bodies) and when there was none to keep.
  // Not part of the log file.
  std::unique_ptr<std::string> m_pResponseBody;
  std::uint8_t m_bStatusMatch = 0;  // filter state
  std::uint8_t m_bTypeMatch = 0;    // filter state
  std::uint8_t m_bCleared = 0;      // hidden by Clear: left out of rebuilds and exports
};

// The ten text fields in the order the log file stores them, for a record or a
// const record.
template <typename Record>
  requires std::is_same_v<std::remove_const_t<Record>, CHttpTransaction>
auto TextFields(Record& r) {
  return std::array{&r.m_strResult,         &r.m_strMethod,          &r.m_strMimeType,
                    &r.m_strUrl,            &r.m_strRedirectUrl,     &r.m_strRequestHeaders,
                    &r.m_strResponseHeaders, &r.m_strPostData,       &r.m_strIpAddress,
                    &r.m_strReserved};
}

// The session list: every record of the session in arrival order, owning them.
using TransactionArray = std::vector<std::unique_ptr<CHttpTransaction>>;

}  // namespace tracewell
