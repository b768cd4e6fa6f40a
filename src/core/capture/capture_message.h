#pragma once
// How a binding tells the user interface about its record without sharing it. The
// binding keeps its own working record; each message carries, in place, the fields
// it changed (moved where the binding needs them no more), and the receiving side
// applies them to the record that the session list owns. Nothing mutable is shared
// between the threads (cache snapshots are, being immutable), a message costs no
// allocation of its own, and a record deleted on the receiving side simply receives
// no more updates.

#include <cstdint>
#include <memory>
#include <type_traits>
#include <utility>

#include "capture/column_mask.h"
#include "record/http_transaction.h"

namespace tracewell {

// The record fields a message carries.
enum RecordField : std::uint32_t {
  kFieldSent = 1u << 0,
  kFieldSize = 1u << 1,
  kFieldResult = 1u << 2,
  kFieldMethod = 1u << 3,
  kFieldMimeType = 1u << 4,
  kFieldUrl = 1u << 5,
  kFieldRedirectUrl = 1u << 6,
  kFieldRequestHeaders = 1u << 7,
  kFieldResponseHeaders = 1u << 8,
  kFieldPostData = 1u << 9,
  kFieldIpAddress = 1u << 10,
  kFieldStarted = 1u << 11,
  kFieldEnded = 1u << 12,
  kFieldCacheBefore = 1u << 13,
  kFieldCacheAfter = 1u << 14,
  kFieldResponseBody = 1u << 15,
  kFieldsAll = (1u << 16) - 1,
};
using FieldSet = std::uint32_t;

// Copies (from an lvalue) or moves (from an rvalue) the named fields; bodies are
// copied deeply, snapshots shared (they never change). The user interface's own
// fields (filter flags, Clear) never travel.
template <typename Source>
void TransferFields(Source&& from, CHttpTransaction& to, FieldSet fields) {
  constexpr bool kMove = std::is_rvalue_reference_v<Source&&>;
  auto take = [](auto& source) -> decltype(auto) {
    if constexpr (kMove) {
      return std::move(source);
    } else {
      return static_cast<const std::remove_reference_t<decltype(source)>&>(source);
    }
  };
  auto takeOwned = [](auto& source) {
    using Owned = std::remove_reference_t<decltype(*source)>;
    if constexpr (kMove) {
      return std::move(source);
    } else {
      return source ? std::make_unique<Owned>(*source) : std::unique_ptr<Owned>();
    }
  };
  if (fields & kFieldSent) to.m_nSent = from.m_nSent;
  if (fields & kFieldSize) to.m_nSize = from.m_nSize;
  if (fields & kFieldResult) to.m_strResult = take(from.m_strResult);
  if (fields & kFieldMethod) to.m_strMethod = take(from.m_strMethod);
  if (fields & kFieldMimeType) to.m_strMimeType = take(from.m_strMimeType);
  if (fields & kFieldUrl) to.m_strUrl = take(from.m_strUrl);
  if (fields & kFieldRedirectUrl) to.m_strRedirectUrl = take(from.m_strRedirectUrl);
  if (fields & kFieldRequestHeaders) to.m_strRequestHeaders = take(from.m_strRequestHeaders);
  if (fields & kFieldResponseHeaders) to.m_strResponseHeaders = take(from.m_strResponseHeaders);
  if (fields & kFieldPostData) to.m_strPostData = take(from.m_strPostData);
  if (fields & kFieldIpAddress) to.m_strIpAddress = take(from.m_strIpAddress);
  if (fields & kFieldStarted) to.m_stStarted = from.m_stStarted;
  if (fields & kFieldEnded) to.m_stEnded = from.m_stEnded;
  if (fields & kFieldCacheBefore) to.m_pCacheInfoBefore = take(from.m_pCacheInfoBefore);
  if (fields & kFieldCacheAfter) to.m_pCacheInfoAfter = take(from.m_pCacheInfoAfter);
  if (fields & kFieldResponseBody) to.m_pResponseBody = takeOwned(from.m_pResponseBody);
}

struct CaptureMessage {
  enum class Kind { kStarted, kUpdated };
  Kind kind = Kind::kStarted;
  std::uint64_t recordId = 0;  // names the record across messages
  std::uint32_t mask = 0;      // the grid's column mask, for kUpdated
  FieldSet fields = 0;         // which fields of `values` are meant
  bool lastForRecord = false;  // the binding writes this record no more
  CHttpTransaction values;
};

// The user interface's end of the hand-over: each host passes the message on to its
// user interface thread (a window message, a queue). Called on binding threads.
class ICaptureNotifier {
 public:
  virtual ~ICaptureNotifier() = default;
  virtual void Post(CaptureMessage message) = 0;
};

}  // namespace tracewell
