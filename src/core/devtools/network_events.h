#pragma once
// The Network events of the DevTools protocol that the capture needs, read into
// plain values. Fields the program does not use are ignored; a field it uses that
// has the wrong type, or a missing request id, makes the whole event malformed.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "devtools/devtools_message.h"

namespace tracewell::devtools {

// Header fields as read from an event's object: in name order (the browser reports
// the fields it sent sorted by name, so the wire order is not known); a value may
// hold several lines (the browser joins repeated fields with "\n").
using HeaderFields = std::vector<std::pair<std::string, std::string>>;

// A response as requestWillBeSent.redirectResponse or responseReceived.response
// describes it.
struct ResponseFacts {
  int status = 0;
  std::string statusText;
  HeaderFields headers;
  std::string mimeType;
  std::string remoteIpAddress;
  std::string protocol;      // "http/1.1", "h2", "h3", ...
  bool fromCache = false;    // fromDiskCache, fromPrefetchCache or fromMemoryCache
  double headerBytes = 0;    // encodedDataLength: what had arrived with the headers
};

struct RequestWillBeSent {
  std::string url;
  std::string method;
  HeaderFields headers;
  std::optional<std::string> postData;
  bool hasPostData = false;
  // A redirect: the response of the hop before, and whether its ExtraInfo events come.
  std::optional<ResponseFacts> redirectResponse;
  bool redirectHasExtraInfo = false;
};

struct RequestExtraInfo {
  std::optional<HeaderFields> headers;  // as sent, cookies included
};

struct ResponseReceived {
  ResponseFacts response;
  bool hasExtraInfo = false;
};

struct ResponseExtraInfo {
  std::optional<int> statusCode;  // 304 where a revalidated response says 200
  std::optional<HeaderFields> headers;
  std::optional<std::string> headersText;
};

struct ServedFromCache {};

struct DataReceived {
  std::uint64_t dataLength = 0;
};

struct LoadingFinished {
  std::optional<double> encodedDataLength;
};

struct LoadingFailed {
  std::string errorText;
  bool canceled = false;
};

using NetworkEventBody =
    std::variant<RequestWillBeSent, RequestExtraInfo, ResponseReceived, ResponseExtraInfo,
                 ServedFromCache, DataReceived, LoadingFinished, LoadingFailed>;

struct NetworkEvent {
  std::string requestId;
  NetworkEventBody body;
};

// What reading an event gave: the event, nothing (an event the capture does not use),
// or the reason it is malformed.
struct NotUsed {};
using NetworkEventRead = std::variant<NetworkEvent, NotUsed, std::string>;

NetworkEventRead ReadNetworkEvent(std::string_view method, const Json& params);

}  // namespace tracewell::devtools
