#include "devtools/network_events.h"

#include <cmath>
#include <limits>

namespace tracewell::devtools {
namespace {

using json = Json;

// Reads fields of one event, keeping the first problem found. An absent optional
// field gives the fallback; a present field of the wrong type is a problem.
class CFieldReader {
 public:
  explicit CFieldReader(std::string_view method) : m_method(method) {}

  const std::string& Problem() const { return m_problem; }

  const json* Object(const json& in, const char* name, bool required) {
    const json* field = Find(in, name, required);
    if (field != nullptr && !field->is_object()) {
      Wrong(name, "an object");
      return nullptr;
    }
    return field;
  }

  std::string Text(const json& in, const char* name, bool required = false) {
    const json* field = Find(in, name, required);
    if (field == nullptr) return {};
    if (!field->is_string()) {
      Wrong(name, "a string");
      return std::string();
    }
    return field->get<std::string>();
  }

  std::optional<std::string> OptionalText(const json& in, const char* name) {
    const json* field = Find(in, name, false);
    if (field == nullptr) return std::nullopt;
    if (!field->is_string()) {
      Wrong(name, "a string");
      return std::nullopt;
    }
    return field->get<std::string>();
  }

  bool Flag(const json& in, const char* name) {
    const json* field = Find(in, name, false);
    if (field == nullptr) return false;
    if (!field->is_boolean()) {
      Wrong(name, "true or false");
      return false;
    }
    return field->get<bool>();
  }

  std::optional<double> Number(const json& in, const char* name) {
    const json* field = Find(in, name, false);
    if (field == nullptr) return std::nullopt;
    if (!field->is_number()) {
      Wrong(name, "a number");
      return std::nullopt;
    }
    const double value = field->get<double>();
    if (!std::isfinite(value) || value < 0) {
      Wrong(name, "a count");
      return std::nullopt;
    }
    return value;
  }

  std::optional<int> Status(const json& in, const char* name, bool required) {
    const json* field = Find(in, name, required);
    if (field == nullptr) return std::nullopt;
    if (!field->is_number_integer() || field->get<std::int64_t>() < 0 ||
        field->get<std::int64_t>() > 999) {
      {
      Wrong(name, "a status code");
      return std::nullopt;
    }
    }
    return field->get<int>();
  }

  // A header object: every value a string.
  std::optional<HeaderFields> Headers(const json& in, const char* name) {
    const json* field = Object(in, name, false);
    if (field == nullptr) return std::nullopt;
    HeaderFields headers;
    headers.reserve(field->size());
    for (const auto& [fieldName, value] : field->items()) {
      if (!value.is_string()) {
      Wrong(name, "an object of strings");
      return std::nullopt;
    }
      headers.emplace_back(fieldName, value.get<std::string>());
    }
    return headers;
  }

 private:
  const json* Find(const json& in, const char* name, bool required) {
    const auto it = in.find(name);
    if (it != in.end()) return &*it;
    if (required && m_problem.empty()) {
      m_problem = m_method + ": " + name + " is missing";
    }
    return nullptr;
  }

  void Wrong(const char* name, const char* what) {
    if (m_problem.empty()) m_problem = m_method + ": " + name + " is not " + what;
  }

  std::string m_method;
  std::string m_problem;
};

ResponseFacts ReadResponse(CFieldReader& read, const json& response) {
  ResponseFacts facts;
  facts.status = read.Status(response, "status", true).value_or(0);
  facts.statusText = read.Text(response, "statusText");
  facts.headers = read.Headers(response, "headers").value_or(HeaderFields{});
  facts.mimeType = read.Text(response, "mimeType");
  facts.remoteIpAddress = read.Text(response, "remoteIPAddress");
  facts.protocol = read.Text(response, "protocol");
  // Any of the browser's caches; the memory cache also announces itself with
  // requestServedFromCache.
  const bool disk = read.Flag(response, "fromDiskCache");
  const bool prefetch = read.Flag(response, "fromPrefetchCache");
  const bool memory = read.Flag(response, "fromMemoryCache");
  facts.fromCache = disk || prefetch || memory;
  facts.headerBytes = read.Number(response, "encodedDataLength").value_or(0);
  return facts;
}

NetworkEventBody ReadRequestWillBeSent(CFieldReader& read, const json& params) {
  RequestWillBeSent event;
  if (const json* request = read.Object(params, "request", true)) {
    event.url = read.Text(*request, "url", true);
    event.method = read.Text(*request, "method", true);
    event.headers = read.Headers(*request, "headers").value_or(HeaderFields{});
    event.postData = read.OptionalText(*request, "postData");
    event.hasPostData = read.Flag(*request, "hasPostData");
  }
  if (const json* redirect = read.Object(params, "redirectResponse", false)) {
    event.redirectResponse = ReadResponse(read, *redirect);
  }
  event.redirectHasExtraInfo = read.Flag(params, "redirectHasExtraInfo");
  return event;
}

NetworkEventBody ReadRequestExtraInfo(CFieldReader& read, const json& params) {
  return RequestExtraInfo{read.Headers(params, "headers")};
}

NetworkEventBody ReadServedFromCache(CFieldReader&, const json&) { return ServedFromCache{}; }

NetworkEventBody ReadLoadingFinished(CFieldReader& read, const json& params) {
  return LoadingFinished{read.Number(params, "encodedDataLength")};
}

NetworkEventBody ReadResponseReceived(CFieldReader& read, const json& params) {
  ResponseReceived event;
  if (const json* response = read.Object(params, "response", true)) {
    event.response = ReadResponse(read, *response);
  }
  event.hasExtraInfo = read.Flag(params, "hasExtraInfo");
  return event;
}

NetworkEventBody ReadResponseExtraInfo(CFieldReader& read, const json& params) {
  ResponseExtraInfo event;
  event.statusCode = read.Status(params, "statusCode", false);
  event.headers = read.Headers(params, "headers");
  event.headersText = read.OptionalText(params, "headersText");
  return event;
}

NetworkEventBody ReadDataReceived(CFieldReader& read, const json& params) {
  constexpr double kMost = static_cast<double>(std::numeric_limits<std::uint32_t>::max());
  const double length = read.Number(params, "dataLength").value_or(0);
  return DataReceived{static_cast<std::uint64_t>(std::min(length, kMost))};
}

NetworkEventBody ReadLoadingFailed(CFieldReader& read, const json& params) {
  LoadingFailed event;
  event.errorText = read.Text(params, "errorText");
  event.canceled = read.Flag(params, "canceled");
  return event;
}

}  // namespace

NetworkEventRead ReadNetworkEvent(std::string_view method, const json& params) {
  using Reader = NetworkEventBody (*)(CFieldReader&, const json&);
  struct Known {
    std::string_view method;
    Reader read;
  };
  static constexpr Known kKnown[] = {
      {"Network.requestWillBeSent", ReadRequestWillBeSent},
      {"Network.requestWillBeSentExtraInfo", ReadRequestExtraInfo},
      {"Network.responseReceived", ReadResponseReceived},
      {"Network.responseReceivedExtraInfo", ReadResponseExtraInfo},
      {"Network.requestServedFromCache", ReadServedFromCache},
      {"Network.dataReceived", ReadDataReceived},
      {"Network.loadingFinished", ReadLoadingFinished},
      {"Network.loadingFailed", ReadLoadingFailed},
  };
  const Known* known = nullptr;
  for (const Known& candidate : kKnown) {
    if (candidate.method == method) known = &candidate;
  }
  if (known == nullptr) return NotUsed{};

  CFieldReader read(method);
  NetworkEvent event;
  event.requestId = read.Text(params, "requestId", true);
  event.body = known->read(read, params);
  if (!read.Problem().empty()) return read.Problem();
  if (event.requestId.empty()) return std::string(method) + ": requestId is empty";
  return event;
}

}  // namespace tracewell::devtools
