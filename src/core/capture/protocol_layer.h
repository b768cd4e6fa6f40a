#pragma once
// What the capture engine needs of a protocol layer: the target protocol that
// really performs a request (the recorder's proxy exchange, or the browser's default
// handler on Windows), and the browser side that starts the request and receives
// its reports.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "capture/result_code.h"

namespace tracewell {

// Progress report codes.
inline constexpr std::uint32_t kBindStatusConnecting = 2;          // text: server address
inline constexpr std::uint32_t kBindStatusRedirecting = 3;         // text: redirect target
inline constexpr std::uint32_t kBindStatusSendingRequest = 11;
inline constexpr std::uint32_t kBindStatusMimeTypeAvailable = 13;  // text: content type
// Data report flag: the last data notification, with the total in progressMax.
inline constexpr std::uint32_t kLastDataNotification = 4;

// Queries of the target's HTTP information.
inline constexpr std::uint32_t kQueryContentType = 1;
inline constexpr std::uint32_t kQueryContentLength = 5;
inline constexpr std::uint32_t kQueryStatusCode = 19;
inline constexpr std::uint32_t kQueryRawHeadersCrLf = 22;
inline constexpr std::uint32_t kQueryFlagRequestHeaders = 0x80000000;
// Request flags: the response came from the cache and nothing else.
inline constexpr std::uint32_t kRequestFlagFromCache = 1;

// Where reports go: the browser's sink, or the capture engine's own in between.
class IProtocolSink {
 public:
  virtual ~IProtocolSink() = default;
  virtual HResult Switch() = 0;
  virtual HResult ReportProgress(std::uint32_t status, std::u16string_view text) = 0;
  virtual HResult ReportData(std::uint32_t flags, std::uint32_t progress,
                             std::uint32_t progressMax) = 0;
  virtual HResult ReportResult(HResult result, std::uint32_t error, std::u16string_view text) = 0;
};

inline constexpr std::uint32_t kBindVerbGet = 0;
inline constexpr std::uint32_t kBindVerbPost = 1;
inline constexpr std::uint32_t kBindVerbPut = 2;
inline constexpr std::uint32_t kBindVerbCustom = 3;  // the verb's text in customVerb
inline constexpr std::uint32_t kMediumHGlobal = 1;
inline constexpr std::uint32_t kMediumStream = 4;

// A request body handed over as a stream.
class IPostDataStream {
 public:
  virtual ~IPostDataStream() = default;
  // The stream's size, or none when its statistics cannot be read.
  virtual std::optional<std::uint64_t> Size() = 0;
  // Reads from the current position; returns the bytes read (0 at the end).
  virtual std::uint32_t Read(char* dest, std::uint32_t count) = 0;
};

struct BindInfo {
  std::uint32_t verb = kBindVerbGet;
  std::uint32_t medium = 0;           // how post data is given; 0: none
  std::string globalData;             // the bytes, for kMediumHGlobal
  IPostDataStream* stream = nullptr;  // for kMediumStream; may be null
  std::u16string customVerb;          // for kBindVerbCustom
};

// How the browser describes the request it starts.
class IBindInfo {
 public:
  virtual ~IBindInfo() = default;
  virtual HResult GetBindInfo(std::uint32_t& flags, BindInfo& info) = 0;
};

// A URI object given to StartEx.
class IUri {
 public:
  virtual ~IUri() = default;
  virtual std::optional<std::u16string> GetAbsoluteUri() const = 0;
};

// The protocol that performs the request.
class ITargetProtocol {
 public:
  virtual ~ITargetProtocol() = default;
  virtual HResult Start(std::u16string_view url, IProtocolSink& sink, IBindInfo& bindInfo,
                        std::uint32_t flags) = 0;
  virtual HResult StartEx(const IUri& uri, IProtocolSink& sink, IBindInfo& bindInfo,
                          std::uint32_t flags) = 0;
  virtual HResult Read(char* buffer, std::uint32_t size, std::uint32_t& read) = 0;
  virtual HResult Abort(HResult reason, std::uint32_t options) = 0;
  virtual HResult Terminate(std::uint32_t options) = 0;

  // HTTP information: the narrow text of a query (header blocks, content type,
  // content length, status code), or none when it fails.
  virtual std::optional<std::string> QueryInfo(std::uint32_t option) = 0;
  // The request flags, or none when they cannot be read.
  virtual std::optional<std::uint32_t> QueryRequestFlags() = 0;
};

// Makes target protocols: the default handler's class object for one scheme.
class ITargetFactory {
 public:
  virtual ~ITargetFactory() = default;
  virtual void LockServer(bool lock) = 0;
  virtual HResult CreateTarget(std::shared_ptr<ITargetProtocol>& target) = 0;
};

}  // namespace tracewell
